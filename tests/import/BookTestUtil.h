// A document laid out in a small known page, for the line-building tests:
// test sources are UTF-8, the program's strings CP932.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/CustomBookClass.h"
#include "tests/support/TestSupport.h"

namespace rpv::test {

// Horizontal writing at 72 dpi (points are pixels): F = 22, lines of 220 px,
// so ten full-width characters a line, no header or footer.
inline void Narrow(TCustomBook& book) {
  book.Style.ScreenDpi = 72;
  book.Style.FontSize = 22;
  book.Style.Direction = kDirectionHorizontal;
  book.Style.bytHeader = 0;
  book.Style.bytFooter = 0;
  book.SetPageWidth(10 + 220 + 22);  // margin, line, hanging cell
  book.SetPageHeight(600);
  ASSERT_EQ(book.Style.LineLength(), 220);
}

// The book's text: the lines, each ended by CR LF.
inline void SetText(TCustomBook& book, const std::vector<std::string>& utf8Lines) {
  std::string text;
  for (const auto& l : utf8Lines) text += S(l) + "\r\n";
  book.SourceText.SetText(text);
}

}  // namespace rpv::test
