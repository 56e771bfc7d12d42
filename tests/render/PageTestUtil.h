// Shared by the page tests: a fresh settings folder per test (RPV_HOME),
// styles written into its info.ini, documents opened in a page class, pages
// recorded, and questions about where ink landed on the page bitmap.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Codepage.h"
#include "platform/FileIO.h"
#include "render/BookClass.h"
#include "tests/render/PageRecorder.h"
#include "tests/support/TestSupport.h"

namespace rpv::testing {

// Bounding box of the pixels inside [left, right) x [top, bottom) that
// differ from the background; Empty when there are none.
struct TInk {
  int Left = 0, Top = 0, Right = -1, Bottom = -1;  // inclusive
  int Count = 0;
  bool Empty() const { return Count == 0; }
  int CentreX() const { return (Left + Right) / 2; }
  int CentreY() const { return (Top + Bottom) / 2; }
};

inline TInk InkIn(const TBitmap24& page, uint32_t background, int left, int top, int right,
                  int bottom) {
  TInk ink;
  ink.Left = right;
  ink.Top = bottom;
  for (int y = std::max(0, top); y < std::min(bottom, page.Height()); ++y) {
    for (int x = std::max(0, left); x < std::min(right, page.Width()); ++x) {
      if (page.Pixel(x, y) == background) continue;
      ++ink.Count;
      ink.Left = std::min(ink.Left, x);
      ink.Right = std::max(ink.Right, x);
      ink.Top = std::min(ink.Top, y);
      ink.Bottom = std::max(ink.Bottom, y);
    }
  }
  return ink;
}

inline TInk InkOf(const TBookClass& book, int left, int top, int right, int bottom) {
  return InkIn(book.PageBitmap, static_cast<uint32_t>(book.Style.BackColor) & 0xFFFFFF, left, top,
               right, bottom);
}

// What drawing the page from firstLine says to its device.
inline TPageRecorder Record(TBookClass& book, int32_t firstLine) {
  TPageRecorder recorder;
  book.DrawPage(firstLine, recorder);
  return recorder;
}

class PageTest : public ::testing::Test {
 protected:
  // The CP932 path of a file in the test folder.
  std::string Path(const std::string& name) const { return temp_.Path(name); }

  void WriteBytes(const std::string& name, const std::string& bytes) const {
    temp_.Write(name, bytes);
  }
  // Text given in UTF-8, stored as CP932 with CR LF line ends.
  void WriteText(const std::string& name, const std::string& utf8) const {
    std::string out;
    for (char c : Utf8ToCp932(utf8)) {
      if (c == '\n') out += '\r';
      out += c;
    }
    WriteBytes(name, out);
  }

  // A style section in info.ini: the built-in defaults with margins large
  // enough to test, changed by edit.
  void WriteStyle(const std::string& section, const std::function<void(TInfo&)>& edit = {}) const {
    TInfo style;
    style.PageMarginLeft = 20;
    style.PageMarginTop = 16;
    style.PageMarginRight = 24;
    style.PageMarginBottom = 18;
    if (edit) edit(style);
    ASSERT_TRUE(style.WriteStyle(Path("info.ini"), section));
  }

  // A page class with the style loaded, the page sized and, when given, a
  // document loaded and laid out.
  std::unique_ptr<TBookClass> Open(const std::string& section, int width, int height,
                                   const std::string& file = {}) const {
    auto book = std::make_unique<TBookClass>();
    book->LoadStyle(Path("info.ini"), section, 96);
    book->SetPageWidth(width);
    book->SetPageHeight(height);
    if (!file.empty()) {
      book->LoadFromFile(Path(file));
      book->BuildLines(0);
    }
    return book;
  }

  // Replaces the display lines by markup lines (UTF-8), so a test knows
  // exactly what each line holds.
  static void SetLines(TBookClass& book, const std::vector<std::string>& lines) {
    book.DisplayLines.Clear();
    for (const std::string& text : lines) {
      TLine& line = *book.DisplayLines.Item(book.DisplayLines.Add());
      line.Text = Utf8ToCp932(text);
      line.SourceIndex = book.DisplayLines.Count() - 1;
    }
  }

  test::TTempFolder temp_{"rpv_pages_", test::TTempFolder::SetsHome};
};

}  // namespace rpv::testing
