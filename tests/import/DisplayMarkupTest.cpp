#include <gtest/gtest.h>

#include "import/Colours.h"
#include "import/DisplayMarkup.h"
#include "import/MarkupWalker.h"
#include "import/TextConvert.h"
#include "MarkupTestUtil.h"

using namespace rpv;
using namespace rpv::test;

TEST(Colours, NamesAndHexFormsReadBackToTheSameValue) {
  const std::pair<TColor, const char*> named[] = {
      {0x000000, "clBlack"}, {0x000080, "clMaroon"}, {0x008000, "clGreen"},
      {0x008080, "clOlive"}, {0x800000, "clNavy"},   {0x800080, "clPurple"},
      {0x808000, "clTeal"},  {0x808080, "clGray"},   {0xC0C0C0, "clSilver"},
      {0x0000FF, "clRed"},   {0x00FF00, "clLime"},   {0x00FFFF, "clYellow"},
      {0xFF0000, "clBlue"},  {0xFF00FF, "clFuchsia"}, {0xFFFF00, "clAqua"},
      {0xFFFFFF, "clWhite"}, {0xC0DCC0, "clMoneyGreen"}, {0xF0CAA6, "clSkyBlue"},
      {0xF0FBFF, "clCream"}, {0xA4A0A0, "clMedGray"}};
  for (const auto& [value, name] : named) {
    EXPECT_EQ(ColorToString(value), name);
    EXPECT_EQ(StringToColor(name), value) << name;
  }
  // clWhite and the hexadecimal white are the same colour.
  EXPECT_EQ(StringToColor("$00ffffff"), StringToColor("clWhite"));
  EXPECT_EQ(StringToColor("CLWHITE"), 0xFFFFFF);
  EXPECT_EQ(ColorToString(0x123456), "$00123456");
  EXPECT_EQ(StringToColor("$00123456"), 0x123456);
  EXPECT_EQ(ColorToString(kColorNone), "$1FFFFFFF");
  EXPECT_EQ(StringToColor("$FFFFFFFF"), -1);
  EXPECT_EQ(StringToColor("0x10"), 16);
  EXPECT_EQ(StringToColor("16777215"), 0xFFFFFF);
  EXPECT_EQ(StringToColor("-1"), -1);
  for (const char* bad : {"", "$", "$123456789", "cl", "clWhit", "12a", "-", "4294967296", " 1"}) {
    EXPECT_EQ(StringToColor(bad), std::nullopt) << bad;
  }
}

TEST(Colours, HtmlHexReordersPairsAndKeepsCase) {
  EXPECT_EQ(HtmlHexToColourText("#FF0000"), "$000000FF");
  EXPECT_EQ(HtmlHexToColourText("#a1B2c3"), "$00c3B2a1");
  for (const char* bad : {"", "#", "#12345", "#1234567", "FF00000", "#GG0000", "red"}) {
    EXPECT_EQ(HtmlHexToColourText(bad), "") << bad;
  }
}

// The tag span that starts at pos, read by the walker.
std::optional<TTagMatch> TagAt(std::string_view line, size_t pos = 0) {
  return TMarkupWalker(line).Tag(pos);
}

TEST(DisplayMarkup, TheWalkerReadsEveryTagAndItsArguments) {
  const std::string line = S("x{H\\B}かん{B_M}漢{B\\E}漢");
  auto m = TagAt(line, 1);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->Kind, TTagKind::Ruby);
  EXPECT_EQ(U(m->Arg), "かん");
  EXPECT_EQ(U(m->Arg2), "漢");
  EXPECT_EQ(U(line.substr(m->End)), "漢");
  // A ruby group closes at its own literal, tags in its reading or base
  // (an HTML ruby in bold) and all.
  const std::string bold = S("{H\\B}{H\\L\\E}かん{H\\D\\E}{B_M}漢{B\\E}漢");
  m = TagAt(bold);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->Kind, TTagKind::Ruby);
  EXPECT_EQ(U(m->Arg), "{H\\L\\E}かん{H\\D\\E}");
  EXPECT_EQ(U(VisibleText(bold)), "漢");

  const std::pair<const char*, TTagKind> simple[] = {
      {"{H\\L\\E}", TTagKind::BoldOn},     {"{H\\D\\E}", TTagKind::BoldOff},
      {"{H\\IS\\E}", TTagKind::ItalicOn},  {"{H\\IE\\E}", TTagKind::ItalicOff},
      {"{H\\R\\E}", TTagKind::StrikeOn},   {"{H\\J\\E}", TTagKind::StrikeOff},
      {"{H\\F\\E}", TTagKind::ColourOff},  {"{H\\A_C\\E}", TTagKind::LinkEnd},
      {"{H\\O}n{O\\E}", TTagKind::Note},   {"{H\\K}clRed{K\\E}", TTagKind::Colour},
      {"{H\\Y}-{Y\\E}", TTagKind::Rule},   {"{H\\A_S}a.html#b{A_S\\E}", TTagKind::LinkStart},
      {"{H\\V}\x81\x4A{V\\E}", TTagKind::Voiced},
  };
  for (const auto& [text, kind] : simple) {
    const std::string s = std::string(text) + "z";
    m = TagAt(s);
    ASSERT_TRUE(m) << text;
    EXPECT_EQ(m->Kind, kind) << text;
    EXPECT_EQ(m->End, s.size() - 1) << text;
  }
  EXPECT_EQ(TagAt("{H\\K}clRed{K\\E}")->Arg, "clRed");
  EXPECT_EQ(TagAt("{H\\A_S}a.html#b{A_S\\E}")->Arg, "a.html#b");
}

TEST(DisplayMarkup, ImageTagsWithAndWithoutSize) {
  const std::string sized = "{H\\I}/p/a.jpg{I\\E}" + ImageSizeSuffix(120, 80) + "x";
  EXPECT_EQ(sized, "{H\\I}/p/a.jpg{I\\E}{I_MH}120{I_MH}{I_MW}80{I_MW}x");
  auto m = TagAt(sized);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->Kind, TTagKind::Image);
  EXPECT_EQ(m->Arg, "/p/a.jpg");
  EXPECT_EQ(m->ImageHeight, 120);
  EXPECT_EQ(m->ImageWidth, 80);
  EXPECT_EQ(sized.substr(m->End), "x");
  EXPECT_EQ(VisibleText(sized), "x");
  // No suffix, or a broken one: the tag ends at "{I\E}" and has no size.
  for (const std::string rest : {"x", "{I_MH}12{I_MH}x", "{I_MH}{I_MH}{I_MW}1{I_MW}x"}) {
    const std::string s = "{H\\I}a.bmp{I\\E}" + rest;
    m = TagAt(s);
    ASSERT_TRUE(m) << s;
    EXPECT_EQ(m->ImageHeight, -1);
    EXPECT_EQ(s.substr(m->End), rest);
  }
}

TEST(DisplayMarkup, OpeningsWithoutClosingAreTextAndOtherSpansUnknown) {
  // No closing after the opening: no tag, the characters are text.
  for (const char* s : {"{H\\B}r{B_M}b", "{H\\K}clRed", "{H\\", "{", "{H\\I}a.jpg", "{h\\L\\E}"}) {
    EXPECT_FALSE(TagAt(s)) << s;
  }
  // A complete span that is none of the forms: a tag nobody knows.
  for (const char* s : {"{H\\B}r{B\\E}", "{H\\?\\E}", "{H\\l\\E}", "{H\\K}red\\E}"}) {
    const auto m = TagAt(s);
    ASSERT_TRUE(m) << s;
    EXPECT_EQ(m->Kind, TTagKind::Unknown) << s;
    EXPECT_EQ(m->End, std::string_view(s).size()) << s;
  }
  // The span ends at the first "\E}": the "{K\E}" after it is text.
  const std::string colour = "{H\\K}red\\E}{K\\E}";
  EXPECT_EQ(TagAt(colour)->Kind, TTagKind::Unknown);
  EXPECT_EQ(VisibleText(colour), "{K\\E}");
  // A ruby group without "{B_M}" before its "{B\E}" is one unknown span.
  const std::string ruby = "{H\\B}r{B\\E}{B_M}b{B\\E}";
  EXPECT_EQ(TagAt(ruby)->End, 11u);
  // The real cases of the old strip helper: spans from the left, an opening
  // without a closing stays with its tail.
  EXPECT_EQ(VisibleText("x{H\\L\\E}y{H\\K}$000000ff{K\\E}z"), "xyz");
  EXPECT_EQ(VisibleText("a{H\\L\\E}b{H\\Kc"), "ab{H\\Kc");
  EXPECT_EQ(VisibleText("\\E}a{H\\"), "\\E}a{H\\");
  EXPECT_EQ(VisibleText("{H{H\\x\\E}\\y\\E}"), "{H\\y\\E}");
}

TEST(DisplayMarkup, TrailBytesInsideArgumentsAreText) {
  // "表" is 95 5C and "ボ" 83 7B: followed by "E}" or "O\E}" their trail
  // bytes spell a closing literal when read from the wrong byte.
  const std::string note = S("{H\\O}表E}ボ{O\\E}x");
  const auto m = TagAt(note);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->Kind, TTagKind::Note);
  EXPECT_EQ(U(m->Arg), "表E}ボ");
  EXPECT_EQ(note.substr(m->End), "x");
  // A closing literal whose "{" is the trail byte of "ボ" is not the
  // note's: the span is unknown.
  EXPECT_EQ(TagAt("{H\\O}\x83{O\\E}")->Kind, TTagKind::Unknown);
  // Later passes treat the whole span as one unit: the voiced mark inside
  // the argument is left alone.
  TInfo style = Style96();
  const std::string line = S("{H\\O}表E}゛{O\\E}゛");
  EXPECT_EQ(U(PrepareLine(line, style)), "{H\\O}表E}゛{O\\E}{H\\V}゛{V\\E}");
}

TEST(DisplayMarkup, BalanceStyleTagsCarriesOpenSpansToTheNextLine) {
  TLines lines;
  FillLines(lines, {"{H\\L\\E}a", "b", "c{H\\D\\E}", "{H\\R\\E}{H\\IS\\E}x", "y",
                    "{H\\L\\E}p{H\\D\\E}q{H\\L\\E}r", "s"});
  BalanceStyleTags(lines);
  const auto t = Texts(lines);
  EXPECT_EQ(t[0], "{H\\L\\E}a{H\\D\\E}");
  EXPECT_EQ(t[1], "{H\\L\\E}b{H\\D\\E}");
  EXPECT_EQ(t[2], "{H\\L\\E}c{H\\D\\E}");
  EXPECT_EQ(t[3], "{H\\R\\E}{H\\IS\\E}x{H\\IE\\E}{H\\J\\E}");
  EXPECT_EQ(t[4], "{H\\R\\E}{H\\IS\\E}y{H\\IE\\E}{H\\J\\E}");
  // Bold closed and opened again on one line is still open at its end.
  EXPECT_EQ(t[5], "{H\\R\\E}{H\\IS\\E}{H\\L\\E}p{H\\D\\E}q{H\\L\\E}r{H\\D\\E}{H\\IE\\E}{H\\J\\E}");
  // The last line is left as it is.
  EXPECT_EQ(t[6], "{H\\R\\E}{H\\IS\\E}{H\\L\\E}s");
}

TEST(DisplayMarkup, TagBuilders) {
  EXPECT_EQ(SideNote("n"), "{H\\O}n{O\\E}");
  EXPECT_EQ(ColourTag("clRed"), "{H\\K}clRed{K\\E}");
  EXPECT_EQ(RuleTag("-"), "{H\\Y}-{Y\\E}");
  EXPECT_EQ(ImageTag("a.jpg"), "{H\\I}a.jpg{I\\E}");
  EXPECT_EQ(LinkStart("a#b"), "{H\\A_S}a#b{A_S\\E}");
  EXPECT_EQ(U(std::string(tag::kHtmlRule)), "{H\\Y}―{Y\\E}");
}
