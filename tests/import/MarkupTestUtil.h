// Helpers for the markup tests: test sources are UTF-8, the program's
// strings CP932 (S and U come with the shared test support).
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Codepage.h"
#include "render/cbcClasses.h"
#include "tests/support/TestSupport.h"

namespace rpv::test {

// A default style at 96 dpi: FontPixels 22, RubyPixels 12.
inline TInfo Style96() {
  TInfo style;
  style.ScreenDpi = 96;
  return style;
}

inline void FillLines(TLines& lines, std::initializer_list<std::string_view> utf8) {
  lines.Clear();
  for (const auto text : utf8) {
    const int i = lines.Add();
    lines.Item(i)->Text = S(text);
    lines.Item(i)->SourceIndex = i;
  }
}

inline std::vector<std::string> Texts(const TLines& lines) {
  std::vector<std::string> out;
  for (int i = 0; i < lines.Count(); ++i) out.push_back(U(lines.Item(i)->Text));
  return out;
}

}  // namespace rpv::test
