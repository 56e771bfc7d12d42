#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "platform/Codepage.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "render/cbcClasses.h"
#include "tests/support/TestSupport.h"

using namespace rpv;

namespace {

class StyleFileTest : public ::testing::Test {
 protected:

  const test::TTempFolder temp_{"rpv_style_"};
  const std::string path_ = temp_.Path("info.ini");
};

const std::vector<std::string> kWriteOrder = {
    "PageMarginLeft", "PageMarginTop", "PageMarginRight", "PageMarginBottom", "ColumnSpace",
    "Spacing", "BetweenChar", "FontSize", "ColumnCount", "FontName", "FontWeight", "FontColor",
    "BackColor", "blnBackGround", "strBackGround", "RFontSize", "RFontName", "RFontColor",
    "Direction", "AntiAliasing", "RAntiAliasing", "LinkColor", "RuleCharHead", "RuleCharEnd",
    "blnRuleCharHead", "blnRuleCharEnd", "blnHang", "WordWrap", "HR", "Tab", "HtmlTag", "Blue",
    "blnTateYoko", "strTateYoko", "bytHeader", "strHeader", "bytFooter", "strFooter"};

TInfo Page(int width, int height, int dpi = 96) {
  TInfo s;
  s.PageWidth = width;
  s.PageHeight = height;
  s.ScreenDpi = dpi;
  return s;
}

}  // namespace

TEST(StyleDefaults, MatchTheDocumentedValues) {
  const TInfo s;
  EXPECT_EQ(s.FontName, Utf8ToCp932("@ＭＳ ゴシック"));
  EXPECT_EQ(s.RFontName, s.FontName);
  EXPECT_EQ(s.RuleCharHead,
            Utf8ToCp932("、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}」、･ｰﾞﾟ"));
  EXPECT_EQ(s.RuleCharEnd, Utf8ToCp932("（［｛「『([{「"));
  EXPECT_EQ(s.strTateYoko, Utf8ToCp932("：；＜＞≪≫－“”‘’≒"));
  EXPECT_EQ(s.HR, (std::vector<std::string>{"-", "=", Utf8ToCp932("―"), "_/", "~"}));
  EXPECT_EQ(JoinPatterns(s.HR), Utf8ToCp932("-;=;―;_/;~"));
  EXPECT_EQ(s.FontColor, 0xFFFFFF);
  EXPECT_EQ(s.LinkColor, 0xFFFF00);
  EXPECT_EQ(s.HtmlTag, 5);
  EXPECT_EQ(s.Blue, 7);
  EXPECT_EQ(s.Direction, 27);
  EXPECT_EQ(s.strHeader, "%f");
  EXPECT_EQ(s.strFooter, "%p/%P");
}

TEST(StyleMeasures, DefaultStyleOnAnOrdinaryScreen) {
  const TInfo s = Page(800, 600);
  EXPECT_EQ(s.FontPixels(), 22);  // 21.33 rounded up
  EXPECT_EQ(s.RubyPixels(), 12);
  EXPECT_EQ(s.LinePitch(), 47);
  EXPECT_EQ(s.HeaderHeight(), 33);
  EXPECT_EQ(s.FooterHeight(), 33);
  EXPECT_EQ(s.RubyBandHeight(), 0);  // vertical
  EXPECT_EQ(s.WidthReserve(), 12);
  EXPECT_EQ(s.HangReserve(), 22);
  EXPECT_EQ(s.TextAreaWidth(), 778);
  EXPECT_EQ(s.TextAreaHeight(), 502);  // 600 - 10 - 33 - 33 - 22
  EXPECT_EQ(s.LinesPerColumn(), 17);
  EXPECT_EQ(s.LineLength(), 502);
  EXPECT_EQ(s.CharsPerLine(), 22);

  // The style editor's figures for a 640 x 480 page.
  const TInfo small = Page(640, 480);
  EXPECT_EQ(small.LinesPerColumn(), 13);
  EXPECT_EQ(small.CharsPerLine(), 17);

  // Rounding up only when there is a fraction; a dpi never set counts as 96.
  TInfo t = Page(800, 600, 96);
  t.FontSize = 18;
  EXPECT_EQ(t.FontPixels(), 24);
  t.ScreenDpi = 120;
  t.FontSize = 16;
  EXPECT_EQ(t.FontPixels(), 27);
  t.ScreenDpi = 0;
  EXPECT_EQ(t.FontPixels(), 22);
}

TEST(StyleMeasures, VerticalColumnsHangAndRubyRoom) {
  TInfo s = Page(800, 600);
  s.ColumnCount = 2;
  s.ColumnSpace = 20;
  s.BetweenChar = 3;
  // (600 - 10 - 33 - 33 - 20) / 2 - (22 + 3)
  EXPECT_EQ(s.TextAreaHeight(), 227);
  EXPECT_EQ(s.TextAreaWidth(), 778);  // both margins and one ruby width
  EXPECT_EQ(s.LineLength(), 227);
  s.SetRubyFlag(kRubyOn, false);
  EXPECT_EQ(s.WidthReserve(), 0);
  EXPECT_EQ(s.TextAreaWidth(), 790);
  EXPECT_EQ(s.LinesPerColumn(), (790 + 25) / 47);
  s.blnHang = false;
  EXPECT_EQ(s.HangReserve(), 0);
  EXPECT_EQ(s.TextAreaHeight(), 252);
  s.bytHeader = 0;
  s.bytFooter = 0;
  EXPECT_EQ(s.HeaderHeight(), 0);
  EXPECT_EQ(s.FooterHeight(), 0);
  EXPECT_EQ(s.TextAreaHeight(), (600 - 10 - 20) / 2);
}

TEST(StyleMeasures, HorizontalColumnsRubyBandAndTruncation) {
  TInfo s = Page(800, 600);
  s.Direction = kDirectionHorizontal;
  s.ColumnCount = 2;
  s.ColumnSpace = 20;
  EXPECT_EQ(s.WidthReserve(), 22);     // the hanging cell
  EXPECT_EQ(s.HangReserve(), 0);
  EXPECT_EQ(s.RubyBandHeight(), 12);
  EXPECT_EQ(s.TextAreaWidth(), 363);   // (800 - 10 - 20) / 2 - 22
  EXPECT_EQ(s.TextAreaHeight(), 512);  // 600 - 10 - 33 - 33 - 12
  EXPECT_EQ(s.LinesPerColumn(), 11);   // (512 + 25) / 47
  EXPECT_EQ(s.LineLength(), 363);
  s.SetRubyFlag(kRubyOn, false);
  EXPECT_EQ(s.RubyBandHeight(), 0);
  EXPECT_EQ(s.TextAreaHeight(), 524);
  s.blnHang = false;
  EXPECT_EQ(s.TextAreaWidth(), 385);

  // Divisions truncate toward zero, also below zero.
  s.ColumnCount = 3;
  s.ColumnSpace = 0;
  s.PageWidth = 5;
  EXPECT_EQ(s.TextAreaWidth(), -1);  // (5 - 10) / 3
  // A page too small for a line still holds one.
  s.PageHeight = 10;
  EXPECT_EQ(s.LinesPerColumn(), 1);
}

TEST(StyleMeasures, NoValueMakesAMeasureDivideByZeroOrOverflow) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  for (const uint8_t direction : {uint8_t{0}, uint8_t{27}, uint8_t{9}}) {
    for (const int32_t big : {0, kMax, kMin}) {
      const int32_t opposite = big == 0 ? 0 : (big == kMax ? kMin : kMax);
      TInfo s;
      s.Direction = direction;
      s.ColumnCount = 0;
      s.ScreenDpi = big;
      s.FontSize = big;
      s.RFontSize = big;
      s.Spacing = opposite;
      s.BetweenChar = big;
      s.PageWidth = big;
      s.PageHeight = opposite;
      s.PageMarginLeft = big;
      s.PageMarginTop = kMin;
      s.ColumnSpace = big;
      EXPECT_GE(s.FontPixels(), 1);
      EXPECT_GE(s.RubyPixels(), 1);
      EXPECT_GE(s.LinePitch(), 1);
      EXPECT_GE(s.LinesPerColumn(), 1);
      EXPECT_GE(s.CharsPerLine(), 0);
      (void)s.TextAreaWidth();
      (void)s.TextAreaHeight();
      (void)s.LineLength();
      (void)s.HeaderHeight();
    }
  }
}

TEST(StyleBits, SetAndClearSingleBits) {
  TInfo s;
  s.SetHtmlTag(kHtmlTagBody, true);
  s.SetHtmlTag(kHtmlTagBody, true);  // setting twice changes nothing
  s.SetHtmlTag(kHtmlTagAnalyse, false);
  EXPECT_EQ(s.HtmlTag, kHtmlTagBody | kHtmlTagImg);
  EXPECT_TRUE(s.HasHtmlTag(kHtmlTagBody));
  EXPECT_FALSE(s.HasHtmlTag(kHtmlTagAnalyse));
  s.SetRubyFlag(kRubyCentre, false);
  EXPECT_EQ(s.Blue, kRubyOn | kRubyReserve);
  EXPECT_FALSE(s.HasRubyFlag(kRubyCentre));
}

TEST_F(StyleFileTest, MissingFileGivesDefaultsAndIsCreated) {
  TInfo s;
  s.FontSize = 40;  // must be overwritten by the default
  s.ReadStyle(path_, "Default");
  s.ScreenDpi = 96;
  EXPECT_EQ(s, TInfo());
  ASSERT_TRUE(FileExists(path_));
  const TIniFile ini(path_);
  EXPECT_EQ(ini.ReadSections(), std::vector<std::string>{"Default"});
  EXPECT_EQ(ini.ReadSection("Default"), kWriteOrder);  // every key but Test, in order
  const std::string text = ReadWholeFile(path_).value();
  EXPECT_EQ(text.substr(0, 38), "[Default]\r\nPageMarginLeft=10\r\nPageMarg");
  EXPECT_NE(text.find("\r\nHR=" + Utf8ToCp932("-;=;―;_/;~") + "\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nFontName=" + Utf8ToCp932("@ＭＳ ゴシック") + "\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("\r\nFontColor=16777215\r\n"), std::string::npos);

  // A file that exists but lacks the section is read, not written.
  TInfo other;
  other.ReadStyle(path_, "Missing");
  EXPECT_EQ(other, TInfo());
  EXPECT_EQ(ReadWholeFile(path_).value(), text);
}

TEST_F(StyleFileTest, RoundTripKeepsEveryKeyAndLeavesOthersAlone) {
  ASSERT_TRUE(WriteFileAtomic(path_, "[Other]\r\nx=1\r\n\r\n[Mine]\r\nExtra=keep\r\nFontSize=10\r\n"));
  TInfo s;
  s.PageMarginLeft = 1;
  s.PageMarginTop = 2;
  s.PageMarginRight = 3;
  s.PageMarginBottom = 4;
  s.ColumnSpace = 5;
  s.ColumnCount = 3;
  s.Spacing = 6;
  s.BetweenChar = -7;
  s.FontWeight = 700;
  s.BackColor = 0x123456;
  s.blnBackGround = true;
  s.strBackGround = Utf8ToCp932("/背景/壁紙.jpg");
  s.FontName = Utf8ToCp932("ＭＳ 明朝");
  s.FontSize = 20;
  s.FontColor = 0x010203;
  s.AntiAliasing = 2;
  s.RFontName = "IPAGothic";
  s.RFontSize = 8;
  s.RFontColor = -1;
  s.RAntiAliasing = 1;
  s.LinkColor = 0xFF;
  s.Direction = 0;
  s.RuleCharHead = Utf8ToCp932("、。");
  s.RuleCharEnd = "";
  s.blnRuleCharHead = false;
  s.blnRuleCharEnd = false;
  s.blnHang = false;
  s.WordWrap = false;
  s.Tab = 0;
  s.HR = {"*", Utf8ToCp932("＝")};
  s.HtmlTag = 15;
  s.Blue = 0;
  s.blnTateYoko = false;
  s.strTateYoko = Utf8ToCp932("：");
  s.bytHeader = 3;
  s.strHeader = "\"%t\"";   // quotes that belong to the text
  s.bytFooter = 0;
  s.strFooter = " %p ";     // blanks that belong to the text
  s.Test = true;            // never written
  ASSERT_TRUE(s.WriteStyle(path_, "Mine"));

  TInfo back;
  back.ReadStyle(path_, "mine");
  TInfo expected = s;
  expected.Test = false;
  EXPECT_EQ(back, expected);

  const TIniFile ini(path_);
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Other", "Mine"}));
  EXPECT_EQ(ini.ReadString("Mine", "Extra", ""), "keep");
  EXPECT_EQ(ini.ReadInteger("Other", "x", 0), 1);
  EXPECT_FALSE(ini.ValueExists("Mine", "Test"));
  EXPECT_EQ(ini.ReadInteger("Mine", "RFontColor", 0), -1);  // signed decimal
}

TEST_F(StyleFileTest, GarbageValuesGiveUsableDefaults) {
  std::string text = "[S]\r\n";
  for (const auto& key : kWriteOrder) text += key + "=abc\r\n";
  text += "Test=abc\r\n";
  ASSERT_TRUE(WriteFileAtomic(path_, text));
  TInfo s;
  s.ReadStyle(path_, "S");
  // Strings take any text; every number and switch falls back to its default.
  TInfo expected;
  for (std::string* str : {&expected.strBackGround, &expected.FontName, &expected.RFontName,
                           &expected.RuleCharHead, &expected.RuleCharEnd, &expected.strTateYoko,
                           &expected.strHeader, &expected.strFooter})
    *str = "abc";
  expected.HR = {"abc"};
  EXPECT_EQ(s, expected);

  // Numbers out of the range a style can hold: defaults, except the column
  // count, which is brought into 1..3, and 8-bit keys, which keep 8 bits.
  ASSERT_TRUE(WriteFileAtomic(path_,
      "[S]\r\nFontSize=0\r\nRFontSize=-3\r\nSpacing=-1\r\nPageMarginLeft=99999999999999999999\r\n"
      "PageMarginTop=-5\r\nFontWeight=0\r\nAntiAliasing=0\r\nRAntiAliasing=3\r\nDirection=9\r\n"
      "bytHeader=4\r\nbytFooter=259\r\nColumnCount=0\r\nTab=264\r\nBetweenChar= -12px\r\n"
      "HR=;;\r\nBlue=0x10\r\nBackColor=-16777216\r\n"));
  TInfo odd;
  odd.ReadStyle(path_, "S");
  const TInfo d;
  EXPECT_EQ(odd.FontSize, d.FontSize);
  EXPECT_EQ(odd.RFontSize, d.RFontSize);
  EXPECT_EQ(odd.Spacing, d.Spacing);
  EXPECT_EQ(odd.PageMarginLeft, d.PageMarginLeft);
  EXPECT_EQ(odd.PageMarginTop, d.PageMarginTop);
  EXPECT_EQ(odd.FontWeight, d.FontWeight);
  EXPECT_EQ(odd.AntiAliasing, 1);
  EXPECT_EQ(odd.RAntiAliasing, 2);
  EXPECT_EQ(odd.Direction, 27);
  EXPECT_EQ(odd.bytHeader, 1);
  EXPECT_EQ(odd.bytFooter, 3);  // 259 keeps its low 8 bits
  EXPECT_EQ(odd.ColumnCount, 1);
  EXPECT_EQ(odd.Tab, 8);
  EXPECT_EQ(odd.BetweenChar, -12);
  EXPECT_TRUE(odd.HR.empty());
  EXPECT_EQ(odd.Blue, 16);
  EXPECT_EQ(odd.BackColor, -16777216);
  for (const auto& [text, count] : {std::pair{"7", 3}, {"-1", 3}, {"257", 1}}) {
    ASSERT_TRUE(WriteFileAtomic(path_, std::string("[S]\r\nColumnCount=") + text + "\r\n"));
    odd.ReadStyle(path_, "S");
    EXPECT_EQ(odd.ColumnCount, count) << text;
  }
}

TEST_F(StyleFileTest, UnwritableFolderStillGivesDefaults) {
  const std::string nowhere = FromNativePath(temp_.Native() / "no" / "such" / "info.ini");
  TInfo s;
  s.ReadStyle(nowhere, "Default");
  EXPECT_EQ(s, TInfo());
  EXPECT_FALSE(s.WriteStyle(nowhere, "Default"));
}
