// The layout annotations of e-texts through line building: where each
// display line starts and ends (indents, hanging blocks, 地付き and 字上げ,
// 字詰め), and the page passes (改見開き, ページの左右中央).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/CustomBookClass.h"
#include "import/DisplayMarkup.h"
#include "import/PageBreaks.h"
#include "tests/import/BookTestUtil.h"
#include "tests/import/MarkupTestUtil.h"

using namespace rpv;
using namespace rpv::test;

namespace {

void Build(TCustomBook& book, const std::vector<std::string>& utf8Lines) {
  SetText(book, utf8Lines);
  book.BuildLines(0);
}

// text|indent|align|end gap, one a display line.
std::vector<std::string> Fields(const TLines& lines) {
  std::vector<std::string> v;
  for (int i = 0; i < lines.Count(); ++i) {
    const TLine& l = *lines.Item(i);
    v.push_back(U(l.Text) + "|" + std::to_string(l.Indent) + "|" + std::to_string(l.Align) + "|" +
                std::to_string(l.EndGap));
  }
  return v;
}

}  // namespace

TEST(LayoutAnnotations, EachLineStartsAndEndsWhereItsAnnotationsSay) {
  TCustomBook book;
  Narrow(book);
  Build(book, {"［＃３字下げ］灰いろ", "［＃１２字下げ］",  "［＃2字下げ］半角",
               "［＃地から１字上げ］（明治）", "本文［＃地から２字上げ］署名",
               "［＃ここから地付き］", "［＃中央揃え］中", "地", "［＃ここで地付き終わり］",
               "［＃ここから地から１字上げ］", "上", "［＃ここで字上げ終わり］", "普",
               "［＃ここから改行天付き、折り返して２字下げ］",
               "一二三四五六七八九十一二三四五六七八九十",
               "［＃ここから１字下げ、折り返して３字下げ］", "・あいうえおかきくけこさしす",
               "［＃ここで字下げ終わり］", "［＃ここから５字詰め］", "あいうえおかきくけこさし",
               "［＃ここで字詰め終わり］", "［＃地から３字上げ］あいうえおかきくけ",
               "文［＃３字下げ］", "［＃ここから字下げ］"});
  const std::vector<std::string> expected = {
      "灰いろ|3|0|0",
      "|12|0|0",  // an indent alone on its line: an empty line
      "半角|2|0|0",
      "（明治）|0|1|1",
      "本文|0|0|0",
      "署名|0|1|2",  // the rest of a line cut at a mid-line 字上げ
      "中|0|2|0",    // the line's own alignment wins over the block's
      "地|0|1|0",
      "上|0|1|1",
      "普|0|0|0",
      // 改行天付き: the first line at the head, the continuation two cells in.
      "一二三四五六七八九十|0|0|0",
      "一二三四五六七八|2|0|0",
      "九十|2|0|0",
      // The block's continuation indent wins over the list mark's.
      "・あいうえおかきく|1|0|0",
      "けこさしす|3|0|0",
      // 字詰め: five characters a line, the rest of the line kept free.
      "あいうえお|0|0|5",
      "かきくけこ|0|0|5",
      "さし|0|0|5",
      // 字上げ: the line wraps short of its end gap.
      "あいうえおかき|0|1|3",
      "くけ|0|1|3",
      // After text a one-line indent is only a note; an annotation without
      // a number stays as it is.
      "{H\\O}３字下げ{O\\E}文|0|0|0",
      "［＃ここから字下げ］|0|0|0",
  };
  EXPECT_EQ(Fields(book.DisplayLines), expected);
  // The split-off line belongs to its source line.
  EXPECT_EQ(book.DisplayLines.Item(5)->SourceIndex, 4);
}

TEST(LayoutAnnotations, SpreadPagesAndCentredPages) {
  TCustomBook book;
  Narrow(book);
  const int L = book.Style.LinesPerColumn();
  ASSERT_GT(L, 5);
  Build(book, {"一", "［＃改見開き］", "二", "［＃改ページ］", "［＃ページの左右中央］", "", "題", "",
               "［＃改ページ］", "三", "［＃ページの左右中央］", "終"});
  const TLines& d = book.DisplayLines;
  auto at = [&](int i) { return i < d.Count() ? U(d.Item(i)->Text) : std::string("(none)"); };
  // 改見開き goes on at the next odd page, as 改丁 does.
  EXPECT_EQ(at(2 * L), "二");
  // The title page: its text in the middle of the page, the blank lines
  // around it counted in.
  EXPECT_EQ(at(3 * L + (L - 1) / 2), "題");
  EXPECT_EQ(at(3 * L + (L - 1) / 2 - 1), "");
  EXPECT_EQ(at(4 * L), "三");
  // A centred page after text starts a page; the book may end on it.
  EXPECT_EQ(d.Count(), 5 * L + (L - 1) / 2 + 1);
  EXPECT_EQ(at(d.Count() - 1), "終");
  EXPECT_EQ(book.PageCount, 6);

  // More than a column holds is left as it stands.
  TLines lines;
  FillLines(lines, {"［＃ページの左右中央］", "a", "b", "c", "d", "［＃改ページ］", "e"});
  ApplyPageBreaks(lines, 3, 1);
  EXPECT_EQ(Texts(lines), (std::vector<std::string>{"a", "b", "c", "d", "", "", "e"}));
}
