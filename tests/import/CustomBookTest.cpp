// The document: loading files and styles, the four fonts, SelectFont's
// choice, the minimum page and the display-to-source mapping.
#include <gtest/gtest.h>

#include "import/CustomBookClass.h"
#include "import/ReadError.h"
#include "tests/support/TestSupport.h"

using namespace rpv;
using rpv::test::S;
using rpv::test::TTempFolder;

TEST(SourceText, SplitsAtEveryLineBreakKind) {
  TSourceText t;
  t.SetText("a\r\nb\rc\nd");
  ASSERT_EQ(t.Count(), 4u);
  EXPECT_EQ(t[0], "a");
  EXPECT_EQ(t[1], "b");
  EXPECT_EQ(t[2], "c");
  EXPECT_EQ(t[3], "d");
  EXPECT_EQ(t.Text(), "a\r\nb\r\nc\r\nd\r\n");
  // A final break adds no line, an empty text has none, a lone break is one
  // empty line and two breaks make two.
  t.SetText("a\r\n");
  EXPECT_EQ(t.Count(), 1u);
  t.SetText("");
  EXPECT_TRUE(t.Empty());
  EXPECT_EQ(t.Text(), "");
  t.SetText("\r\n");
  ASSERT_EQ(t.Count(), 1u);
  EXPECT_EQ(t[0], "");
  t.SetText("\n\r");
  EXPECT_EQ(t.Count(), 2u);
  t.Add("x");
  EXPECT_EQ(t[2], "x");
  t.Clear();
  EXPECT_EQ(t.Count(), 0u);
}

TEST(CustomBook, LoadStyleBuildsTheFourFonts) {
  TTempFolder tmp("rpv_book_");
  TCustomBook book;
  // A missing settings file gives the built-in style (and is created).
  book.TextColor = 0x123456;
  book.LoadStyle(tmp.Dir() + "info.ini", S("標準"), 96);
  EXPECT_TRUE(FileExists(tmp.Dir() + "info.ini"));
  EXPECT_EQ(book.Style.ScreenDpi, 96);
  EXPECT_EQ(book.TextColor, book.Style.FontColor);
  const std::string gothic = S("ＭＳ ゴシック");
  EXPECT_EQ(book.BodyFont, (TFontDesc{22, 400, false, false, 2700, "@" + gothic}));
  EXPECT_EQ(book.RubyFont, (TFontDesc{24, 400, false, false, 2700, "@" + gothic}));
  EXPECT_EQ(book.UprightFont, (TFontDesc{22, 400, false, false, 0, gothic}));
  EXPECT_EQ(book.TurnedFont, (TFontDesc{22, 400, false, false, 1800, "@" + gothic}));

  // Supersampling, weight and horizontal writing; a face longer than a font
  // description holds is cut before the character that would not fit; "@"
  // as the trail byte of "　" (81 40) is not the vertical mark.
  const std::string longFace = S("あいうえおかきくけこさしすせそ");  // 30 bytes
  const std::string spaced = S("ＭＳ　明朝");
  tmp.Write("s.ini", "[x]\r\nFontSize=12\r\nAntiAliasing=2\r\nFontWeight=700\r\nDirection=0\r\n"
                     "FontName=" + longFace + S("た") + "\r\nRFontName=" + spaced +
                     "\r\nRFontSize=6\r\nRAntiAliasing=1\r\n");
  book.LoadStyle(tmp.Dir() + "s.ini", "x", 144);
  EXPECT_EQ(book.BodyFont, (TFontDesc{48, 700, false, false, 0, longFace}));
  EXPECT_EQ(book.RubyFont, (TFontDesc{12, 700, false, false, 0, spaced}));
  EXPECT_EQ(book.UprightFont.FaceName, longFace);
  EXPECT_EQ(book.TurnedFont.Escapement, 1800);
  TInfo style;
  style.FontName = "x@" + spaced;
  EXPECT_EQ(BuildBookFonts(style).Upright.FaceName, "x" + spaced);
  style.FontName = spaced;
  EXPECT_EQ(BuildBookFonts(style).Upright.FaceName, spaced);
}

TEST(CustomBook, SelectFontChoosesFontColourAndBrush) {
  TCustomBook book;
  book.Style.BackColor = 0x010203;
  book.Style.RFontColor = 0x00FF00;
  book.TextColor = 0x0000FF;
  const TFontSelection fill = book.ChooseFont(0);
  EXPECT_EQ(fill.Font, book.BodyFont);
  EXPECT_EQ(fill.TextColor, 0x0000FF);
  EXPECT_EQ(fill.BrushColor, 0x010203);
  EXPECT_FALSE(fill.Transparent);
  EXPECT_TRUE(book.ChooseFont(8).Transparent);
  const TFontSelection ruby = book.ChooseFont(9);
  EXPECT_EQ(ruby.Font, book.RubyFont);
  EXPECT_EQ(ruby.TextColor, 0x00FF00);
  EXPECT_TRUE(ruby.Transparent);
  EXPECT_EQ(book.ChooseFont(12).Font, book.UprightFont);
  EXPECT_EQ(book.ChooseFont(12).TextColor, 0x0000FF);
  EXPECT_EQ(book.ChooseFont(24).Font, book.TurnedFont);
  // Ruby wins over the other kinds, upright over turned.
  EXPECT_EQ(book.ChooseFont(sfRuby | sfUpright).Font, book.RubyFont);
  EXPECT_EQ(book.ChooseFont(sfUpright | sfTurned).Font, book.UprightFont);
}

TEST(CustomBook, MinimumPageFromTheStyle) {
  TCustomBook book;
  EXPECT_EQ(book.MinPageWidth(), 195);
  EXPECT_EQ(book.MinPageHeight(), 170);
  book.Style.ColumnCount = 2;
  book.Style.PageMarginBottom = 5;
  EXPECT_EQ(book.MinPageHeight(), 10 + 5 + 320);
  book.SetPageWidth(640);
  book.SetPageHeight(480);
  EXPECT_EQ(book.Style.PageWidth, 640);
  EXPECT_EQ(book.Style.PageHeight, 480);
}

TEST(CustomBook, LoadFromFileSplitsPathAndTextAndKnowsHtml) {
  TTempFolder tmp("rpv_book_");
  TCustomBook book;
  book.LoadFromFile(tmp.Write("a.txt", S("一行目\r\n二行目\n三行目\r")));
  EXPECT_EQ(book.FileDir, tmp.Dir());
  EXPECT_EQ(book.FileName, "a.txt");
  ASSERT_EQ(book.SourceText.Count(), 3u);
  EXPECT_EQ(book.SourceText[1], S("二行目"));
  EXPECT_FALSE(book.IsHtml);

  // The extension is compared in lower case, and "xhtml" holds "htm".
  for (const char* name : {"b.HTML", "c.xhtml", "d.htm", "e.cgi", "f.shtml"}) {
    book.LoadFromFile(tmp.Write(name, "<p>x</p>"));
    EXPECT_TRUE(book.IsHtml) << name;
  }
  book.LoadFromFile(tmp.Write("noext", "x"));
  EXPECT_FALSE(book.IsHtml);

  // A failed read changes the names but keeps the text and the kind.
  book.LoadFromFile(tmp.Write("g.html", "keep"));
  const std::string missing = tmp.Dir() + "sub/missing.txt";
  EXPECT_THROW(book.LoadFromFile(missing), TReadError);
  EXPECT_EQ(book.FileDir, tmp.Dir() + "sub/");
  EXPECT_EQ(book.FileName, "missing.txt");
  ASSERT_EQ(book.SourceText.Count(), 1u);
  EXPECT_EQ(book.SourceText[0], "keep");
  EXPECT_TRUE(book.IsHtml);

  // A bare name has no folder part.
  EXPECT_THROW(book.LoadFromFile("rpv-no-such-file.txt"), TReadError);
  EXPECT_EQ(book.FileDir, "");
  EXPECT_EQ(book.FileName, "rpv-no-such-file.txt");
}

TEST(CustomBook, SourceLineOfMapsDisplayLinesToSourceLines) {
  TCustomBook book;
  EXPECT_EQ(book.SourceLineOf(0), -1);
  book.SetPageWidth(800);
  book.SetPageHeight(600);
  const int L = book.Style.LinesPerColumn();
  ASSERT_EQ(L, 17);
  for (int i = 0; i < 3 * L; ++i) book.DisplayLines.Item(book.DisplayLines.Add())->SourceIndex = 100 + i;
  EXPECT_EQ(book.SourceLineOf(-1), -1);
  // Anywhere in the first column: the document's start.
  EXPECT_EQ(book.SourceLineOf(0), 0);
  EXPECT_EQ(book.SourceLineOf(L - 1), 0);
  EXPECT_EQ(book.SourceLineOf(L), 100 + L);
  EXPECT_EQ(book.SourceLineOf(3 * L - 1), 100 + 3 * L - 1);
  // A stale position past the end stands for the last line.
  EXPECT_EQ(book.SourceLineOf(10 * L), 100 + 3 * L - 1);
}
