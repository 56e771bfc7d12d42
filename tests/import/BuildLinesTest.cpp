// BuildLines and its passes over whole documents: the result index,
// blank-line removal, the hanging indent, block indents and page breaks,
// the page count, picture placement and HTML style balancing.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "import/CustomBookClass.h"
#include "import/LineBuilder.h"
#include "import/MarkupWalker.h"
#include "tests/import/BookTestUtil.h"
#include "tests/support/TestSupport.h"

using namespace rpv;
using rpv::test::Narrow;
using rpv::test::S;
using rpv::test::SetText;
using rpv::test::TTempFolder;

namespace {

std::vector<std::string> Texts(const TLines& lines) {
  std::vector<std::string> v;
  for (int i = 0; i < lines.Count(); ++i) v.push_back(lines.Item(i)->Text);
  return v;
}

std::vector<int> Indents(const TLines& lines) {
  std::vector<int> v;
  for (int i = 0; i < lines.Count(); ++i) v.push_back(lines.Item(i)->Indent);
  return v;
}

// An uncompressed 24-bit BMP of the given size.
std::string Bmp(int w, int h) {
  const int stride = (w * 3 + 3) & ~3;
  const int size = 54 + stride * h;
  std::string b(static_cast<size_t>(size), '\0');
  auto put = [&b](size_t at, uint32_t v, int n) {
    for (int k = 0; k < n; ++k) b[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
  };
  b[0] = 'B';
  b[1] = 'M';
  put(2, static_cast<uint32_t>(size), 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, static_cast<uint32_t>(w), 4);
  put(22, static_cast<uint32_t>(h), 4);
  put(26, 1, 2);
  put(28, 24, 2);
  put(34, static_cast<uint32_t>(stride * h), 4);
  return b;
}

}  // namespace

TEST(BuildLines, ResultIndexAndEmptyText) {
  TCustomBook book;
  Narrow(book);
  // Without text nothing changes.
  book.DisplayLines.Item(book.DisplayLines.Add())->Text = "old";
  book.PageCount = 7;
  EXPECT_EQ(book.BuildLines(3), -1);
  EXPECT_EQ(Texts(book.DisplayLines), std::vector<std::string>{"old"});
  EXPECT_EQ(book.PageCount, 7);

  SetText(book, {"あいうえおかきくけこさしすせそたちつてとなにぬねの", "い", "［＃ここから２字下げ］", "う", "［＃ここで字下げ終わり］", "え"});
  EXPECT_EQ(book.BuildLines(0), 0);
  EXPECT_EQ(book.BuildLines(1), 3);
  EXPECT_EQ(book.BuildLines(3), 4);
  EXPECT_EQ(book.BuildLines(5), 5);
  // A source line an annotation removed, or one that does not exist.
  EXPECT_EQ(book.BuildLines(2), 0);
  EXPECT_EQ(book.BuildLines(4), 0);
  EXPECT_EQ(book.BuildLines(99), 0);
  EXPECT_EQ(book.BuildLines(-5), 0);
  EXPECT_EQ(book.PageCount, 1);

  // Building twice gives the same tables; fewer lines after a wider page.
  const auto texts = Texts(book.DisplayLines);
  const auto indents = Indents(book.DisplayLines);
  book.BuildLines(0);
  EXPECT_EQ(Texts(book.DisplayLines), texts);
  EXPECT_EQ(Indents(book.DisplayLines), indents);
  book.SetPageWidth(1000);
  book.BuildLines(0);
  EXPECT_EQ(book.DisplayLines.Count(), 4);
  book.SetPageWidth(10 + 220 + 22);
  book.BuildLines(0);
  EXPECT_EQ(Texts(book.DisplayLines), texts);

  // A single empty line is a document.
  book.SourceText.SetText("\r\n");
  EXPECT_EQ(book.BuildLines(0), 0);
  EXPECT_EQ(Texts(book.DisplayLines), std::vector<std::string>{""});
}

TEST(BuildLines, BlankLineRemovalKeepsEveryOtherBlankLine) {
  TCustomBook book;
  Narrow(book);
  book.DeleteBlankLines = true;
  SetText(book, {"あ", "", "", "", "い", "", "", "", "", "う"});
  // Source line 9 now stands at display line 5: still found.
  EXPECT_EQ(book.BuildLines(9), 5);
  EXPECT_EQ(Texts(book.DisplayLines),
            (std::vector<std::string>{S("あ"), "", S("い"), "", "", S("う")}));
  std::vector<int> sources;
  for (int i = 0; i < book.DisplayLines.Count(); ++i)
    sources.push_back(book.DisplayLines.Item(i)->SourceIndex);
  // Of three blank lines one stays, of four two; the survivors keep their
  // own source numbers.
  EXPECT_EQ(sources, (std::vector<int>{0, 2, 4, 6, 8, 9}));
  // The first line is never removed, even when blank.
  SetText(book, {"", "", "x"});
  book.BuildLines(0);
  EXPECT_EQ(Texts(book.DisplayLines), (std::vector<std::string>{"", "x"}));
  book.DeleteBlankLines = false;
  book.BuildLines(0);
  EXPECT_EQ(book.DisplayLines.Count(), 3);
}

// A run of empty lines costs one display line each and no source line (a
// book of bare line feeds has as many lines as bytes); they still map to
// their own source index both ways, between converted lines as before.
TEST(BuildLines, EmptyLinesTakeNoSourceLine) {
  TCustomBook book;
  Narrow(book);
  SetText(book, {"", "", "一｜漢《かん》", "", "［＃ここから２字下げ］", "", "二", "［＃ここで字下げ終わり］", "",
                 ""});
  EXPECT_EQ(book.BuildLines(5), 4);
  std::vector<int32_t> sources;
  for (int i = 0; i < book.DisplayLines.Count(); ++i) sources.push_back(book.DisplayLines.Item(i)->SourceIndex);
  EXPECT_EQ(sources, (std::vector<int32_t>{0, 1, 2, 3, 5, 6, 8, 9}));
  const std::vector<std::string> texts = Texts(book.DisplayLines);
  EXPECT_EQ(texts[2].substr(0, 2), S("一"));
  EXPECT_EQ(texts[5], S("二"));
  EXPECT_EQ(book.DisplayLines.Item(5)->Indent, 2);
  for (const int empty : {0, 1, 3, 4, 6, 7}) EXPECT_EQ(texts[static_cast<size_t>(empty)], "") << empty;

  book.SourceText.SetText(std::string(100000, '\n'));
  EXPECT_EQ(book.BuildLines(77777), 77777);
  EXPECT_EQ(book.DisplayLines.Count(), 100000);
  EXPECT_EQ(book.DisplayLines.Item(99999)->SourceIndex, 99999);
}

TEST(BuildLines, AReadingSplitsWithTheBaseItStandsOn) {
  // A base longer than a line is cut between its characters; each line's
  // group holds that line's base characters and its share of the reading
  // (18 characters over 12: 12 for the first 8, 6 for the last 4).
  TCustomBook book;
  Narrow(book);
  book.Style.RFontSize = 9;
  SetText(book, {"あい｜一二三四五六七八九十百千《ああああいいいいううううええええおお》"});
  book.BuildLines(0);
  EXPECT_EQ(Texts(book.DisplayLines),
            (std::vector<std::string>{
                S("あい{H\\B}ああああいいいいうううう{B_M}一二三四五六七八{B\\E}一二三四五六七八"),
                S("{H\\B}ええええおお{B_M}九十百千{B\\E}九十百千")}));
}

TEST(BuildLines, HangingIndentAndBlockIndent) {
  TCustomBook book;
  Narrow(book);
  SetText(book, {"・あいうえおかきくけこさしすせそたちつてとなにぬね",
                 "　　あいうえおかきくけこさしす",
                 "［＃ここから２字下げ］",
                 "・あいうえおかきくけこさしすせそ",
                 "［＃ここで字下げ終わり］",
                 "・・あいうえおかきくけこさ"});
  book.BuildLines(0);
  // The bullet's continuation lines stand under the text after the mark;
  // two ideographic spaces continue one cell in; a block indent is not
  // deepened by a bullet; a doubled mark is no bullet.
  EXPECT_EQ(Indents(book.DisplayLines), (std::vector<int>{0, 1, 1, 0, 1, 2, 2, 0, 0}));
  EXPECT_EQ(book.DisplayLines.Item(1)->Text, S("こさしすせそたちつ"));
  EXPECT_EQ(book.DisplayLines.Item(5)->Text, S("・あいうえおかき"));
}

TEST(BuildLines, PageBreaksAndTheRubySwitch) {
  TCustomBook book;
  Narrow(book);
  const int L = book.Style.LinesPerColumn();
  ASSERT_GT(L, 3);
  SetText(book, {"一", "［＃改ページ］", "二", "三［＃改ページ］", "四", "［＃改段］", "五"});
  book.BuildLines(0);
  const int n = book.DisplayLines.Count();
  ASSERT_EQ(n, 2 * L + 1);
  EXPECT_EQ(book.DisplayLines.Item(0)->Text, S("一"));
  EXPECT_EQ(book.DisplayLines.Item(L)->Text, S("二"));
  // Mid-line, the annotation is a side note and breaks nothing.
  EXPECT_NE(book.DisplayLines.Item(L + 1)->Text.find("{H\\O}"), std::string::npos);
  // A one-column page: a column break also starts the next page.
  EXPECT_EQ(book.DisplayLines.Item(2 * L)->Text, S("五"));
  EXPECT_EQ(book.PageCount, 3);
  EXPECT_EQ(book.BuildLines(6), 2 * L);

  // Without ruby conversion the marks and annotations are text.
  book.Style.Blue = 0;
  book.BuildLines(0);
  EXPECT_EQ(book.DisplayLines.Count(), 7);
  EXPECT_EQ(book.DisplayLines.Item(1)->Text, S("［＃改ページ］"));
  EXPECT_EQ(book.PageCount, 1);
}

TEST(PlaceImages, ReservesLinesAndMovesPicturesToTheNextColumn) {
  TTempFolder tmp("rpv_book_");
  const std::string tall = tmp.Write("tall.bmp", Bmp(10, 300));
  const std::string wide = tmp.Write("wide.bmp", Bmp(1000, 100));
  const std::string huge = tmp.Write("huge.bmp", Bmp(100, 1200));
  TCustomBook book;
  // Horizontal, F = 20, pitch 30, 20 lines a column (590 px of lines).
  book.Style.ScreenDpi = 72;
  book.Style.FontSize = 20;
  book.Style.Spacing = 10;
  book.Style.Direction = kDirectionHorizontal;
  book.Style.bytHeader = 0;
  book.Style.bytFooter = 0;
  book.Style.Blue = 0;
  book.SetPageWidth(800);
  book.SetPageHeight(600);
  ASSERT_EQ(book.Style.LinesPerColumn(), 20);
  ASSERT_EQ(book.Style.LinePitch(), 30);
  ASSERT_EQ(book.Style.TextAreaWidth(), 770);

  auto fill = [&book](int before, const std::string& line) {
    book.DisplayLines.Clear();
    for (int i = 0; i < before; ++i) book.DisplayLines.Item(book.DisplayLines.Add())->Text = "t";
    TLine& img = *book.DisplayLines.Item(book.DisplayLines.Add());
    img.Text = line;
    img.SourceIndex = 5;
    book.DisplayLines.Item(book.DisplayLines.Add())->Text = "after";
  };
  const auto tag = [](const std::string& path) { return "{H\\I}" + path + "{I\\E}"; };

  // 300 px at line 18 of 20: two lines pad the column, the picture opens the
  // next one and eleven lines follow it.
  fill(18, tag(tall));
  PlaceImages(book);
  ASSERT_EQ(book.DisplayLines.Count(), 18 + 2 + 1 + 11 + 1);
  EXPECT_EQ(book.DisplayLines.Item(19)->Text, "");
  EXPECT_EQ(book.DisplayLines.Item(20)->Text, tag(tall) + "{I_MH}300{I_MH}{I_MW}10{I_MW}");
  EXPECT_EQ(book.DisplayLines.Item(20)->SourceIndex, 5);
  EXPECT_EQ(book.DisplayLines.Item(31)->Text, "");
  EXPECT_EQ(book.DisplayLines.Item(31)->SourceIndex, 0);
  EXPECT_EQ(book.DisplayLines.Item(32)->Text, "after");

  // Where it fits it stays; too wide, it is scaled to the column's width.
  fill(2, tag(wide));
  PlaceImages(book);
  EXPECT_EQ(book.DisplayLines.Item(2)->Text, tag(wide) + "{I_MH}77{I_MH}{I_MW}770{I_MW}");
  EXPECT_EQ(book.DisplayLines.Count(), 2 + 1 + 3 + 1);

  // Too tall, scaled to the text area's height. At a column's top it stays
  // even when it spans more lines than a column has.
  book.SetPageHeight(610);
  ASSERT_EQ(book.Style.TextAreaHeight(), 600);
  fill(0, tag(huge));
  PlaceImages(book);
  EXPECT_EQ(book.DisplayLines.Item(0)->Text, tag(huge) + "{I_MH}600{I_MH}{I_MW}50{I_MW}");
  EXPECT_EQ(book.DisplayLines.Count(), 1 + 21 + 1);
  fill(5, tag(huge));
  PlaceImages(book);
  EXPECT_EQ(book.DisplayLines.Item(20)->Text.substr(0, tag(huge).size()), tag(huge));

  // Vertical writing reserves by the picture's width.
  book.Style.Direction = kDirectionVertical;
  fill(0, tag(wide));
  PlaceImages(book);
  EXPECT_EQ(book.DisplayLines.Item(0)->Text, tag(wide) + "{I_MH}79{I_MH}{I_MW}790{I_MW}");
  EXPECT_EQ(book.DisplayLines.Count(), 1 + 790 / 30 + 1 + 1);

  // A picture that cannot be loaded leaves its name and reserves nothing.
  book.Style.Direction = kDirectionHorizontal;
  fill(1, S("前") + tag(tmp.Dir() + "none.bmp"));
  const std::string broken = tmp.Write("broken.bmp", "BM garbage");
  PlaceImages(book);
  EXPECT_EQ(Texts(book.DisplayLines), (std::vector<std::string>{"t", "[none.bmp]", "after"}));
  fill(0, tag(broken));
  PlaceImages(book);
  EXPECT_EQ(Texts(book.DisplayLines), (std::vector<std::string>{"[broken.bmp]", "after"}));
}

TEST(BuildLines, TextFiguresKeepTheirSizeAndHeadingsStayStyledWhenWrapped) {
  TTempFolder tmp("rpv_book_");
  tmp.Write("pic.bmp", Bmp(100, 50));
  TCustomBook book;
  Narrow(book);
  book.SetFileNames(tmp.Dir() + "book.txt");
  SetText(book, {"［＃挿絵（pic.bmp、横40×縦20）入る］", "［＃挿絵（pic.bmp、横4400×縦2200）入る］",
                 "［＃挿絵（none.png、横40×縦20）入る］",
                 "一二三四五六七八九十一二三四五［＃「一二三四五六七八九十一二三四五」は大見出し］",
                 "［＃傍線］一二三四五六七八九十一二［＃傍線終わり］後"});
  book.BuildLines(0);
  const auto t = Texts(book.DisplayLines);
  const std::string pic = "{H\\I}" + tmp.Dir() + "pic.bmp{I\\E}";
  // The size the text gives, not the picture's own; shrunk to fit the line.
  ASSERT_GE(t.size(), 3u);
  EXPECT_EQ(t[0], pic + "{I_MH}20{I_MH}{I_MW}40{I_MW}");
  size_t k = 1;
  while (k < t.size() && t[k].empty()) ++k;
  ASSERT_LT(k, t.size());
  const int width = book.Style.TextAreaWidth();
  EXPECT_EQ(t[k], pic + "{I_MH}" + std::to_string(width / 2) + "{I_MH}{I_MW}" +
                      std::to_string(width) + "{I_MW}");
  for (++k; k < t.size() && t[k].empty(); ++k) {}
  ASSERT_LT(k, t.size());
  EXPECT_EQ(t[k], "[none.png]");
  // Each piece of a wrapped heading opens bold and the size before its
  // text and closes them after it.
  std::string heading;
  int pieces = 0;
  for (++k; k < t.size() && t[k].find("{H\\Z}3{Z\\E}") != std::string::npos; ++k, ++pieces) {
    TMarkupWalker w(t[k]);
    size_t first = std::string::npos;
    size_t last = 0;
    for (size_t i = 0; i < t[k].size(); i = w.Next(i)) {
      if (w.TagEnd(i) != 0) continue;
      if (first == std::string::npos) first = i;
      last = w.Next(i);
    }
    const std::string head = t[k].substr(0, first);
    const std::string tail = t[k].substr(last);
    EXPECT_NE(head.find("{H\\L\\E}"), std::string::npos) << t[k];
    EXPECT_NE(tail.find("{H\\D\\E}"), std::string::npos) << t[k];
    EXPECT_NE(tail.find("{H\\Z}0{Z\\E}"), std::string::npos) << t[k];
    heading += VisibleText(t[k]);
  }
  EXPECT_GE(pieces, 2);
  EXPECT_EQ(heading, S("一二三四五六七八九十一二三四五"));
  // A side line likewise.
  ASSERT_LT(k + 1, t.size());
  EXPECT_EQ(t[k], "{H\\N}RS{N\\E}" + S("一二三四五六七八九十") + "{H\\NE\\E}");
  EXPECT_EQ(t[k + 1], "{H\\N}RS{N\\E}" + S("一二") + "{H\\NE\\E}" + S("後"));
}

TEST(BuildLines, HtmlKeepsStylesPerLineAndPlacesPictures) {
  TTempFolder tmp("rpv_book_");
  tmp.Write("pic.bmp", Bmp(20, 50));
  TCustomBook book;
  Narrow(book);
  book.Style.HtmlTag = kHtmlTagAnalyse | kHtmlTagImg;
  const std::string file = tmp.Write(
      "t.html", S("<html><title>題</title><body><p><b>あいうえおかきくけこ<i>さしすせそたちつてと"
                   "なにぬ</i>ねのはひふへほ</b>まみむ</p><img src=\"pic.bmp\"><img src=\"no.jpg\">"
                   "</body></html>"));
  book.LoadFromFile(file);
  ASSERT_TRUE(book.IsHtml);
  book.BuildLines(0);
  EXPECT_EQ(book.Title, S("題"));
  const auto texts = Texts(book.DisplayLines);
  ASSERT_GE(texts.size(), 5u);
  EXPECT_EQ(texts[0], "{H\\L\\E}" + S("あいうえおかきくけこ") + "{H\\IS\\E}{H\\D\\E}{H\\IE\\E}");
  EXPECT_EQ(texts[1], "{H\\IS\\E}{H\\L\\E}" + S("さしすせそたちつてと") + "{H\\D\\E}{H\\IE\\E}");
  EXPECT_EQ(texts[2].rfind("{H\\IS\\E}{H\\L\\E}", 0), 0u);
  bool picture = false;
  bool missing = false;
  for (const auto& t : texts) {
    if (t.find("pic.bmp{I\\E}{I_MH}50{I_MH}{I_MW}20{I_MW}") != std::string::npos) picture = true;
    if (t == "[no.jpg]") missing = true;
  }
  EXPECT_TRUE(picture);
  EXPECT_TRUE(missing);
  // Without tag analysis the file is text, tags and all.
  book.Style.HtmlTag = 0;
  book.BuildLines(0);
  EXPECT_EQ(book.DisplayLines.Item(0)->Text.substr(0, 6), "<html>");
}
