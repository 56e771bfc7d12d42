#include <gtest/gtest.h>

#include <random>

#include "import/MarkupWalker.h"
#include "import/TextConvert.h"
#include "platform/FileIO.h"
#include "MarkupTestUtil.h"

using namespace rpv;
using namespace rpv::test;

namespace {

std::string Ruby(const TInfo& style, std::string_view line) {
  return U(ConvertRubyMarks(S(line), style));
}

// Ruby small enough that no reading here needs its base spread: the
// tests using it are about where a base starts.
TInfo SmallRuby() {
  TInfo style = Style96();
  style.RFontSize = 4;
  return style;
}

}  // namespace

TEST(MakeRuby, GroupsPerCharacterOnlyWhenCountsMatch) {
  const TInfo style = Style96();  // FontPixels 22, RubyPixels 12
  // Two characters under three: one group carrying the whole reading.
  EXPECT_EQ(U(MakeRuby(S("漢字"), S("かんじ"), style)), "{H\\B}かんじ{B_M}漢字{B\\E}漢字");
  // Equal counts: one group per character.
  EXPECT_EQ(U(MakeRuby(S("漢字"), S("かじ"), style)),
            "{H\\B}か{B_M}漢{B\\E}漢{H\\B}じ{B_M}字{B\\E}字");
  // Nothing to read: the base alone.
  EXPECT_EQ(U(MakeRuby(S("漢字"), "", style)), "漢字");
}

TEST(MakeRuby, SpreadsAShortBaseUnderALongReading) {
  // 6 * 13 = 78 over 2 * 22 = 44, two ruby characters of overhang allowed:
  // 8 pixels more, one half-width space (11) between the characters. The
  // text is spread by spacing tags, not spaces: search sees "漢字".
  const std::string spread = MakeRuby(S("漢字"), S("ながいよみだ"), 22, 13, 26);
  EXPECT_EQ(U(spread), "{H\\B}ながいよみだ{B_M}漢 字{B\\E}漢{H\\W\\E}字");
  EXPECT_EQ(U(VisibleText(spread)), "漢字");
  // No overhang: 34 pixels, four spaces, between first, then around the
  // group.
  EXPECT_EQ(U(MakeRuby(S("漢字"), S("ながいよみだ"), 22, 13)),
            "{H\\W\\E}{H\\B}ながいよみだ{B_M}漢  字{B\\E}漢{H\\W\\E}{H\\W\\E}字{H\\W\\E}");
  // Five characters of reading: 60 within 44 and 24, not spread.
  EXPECT_EQ(U(MakeRuby(S("漢字"), S("ながいよみ"), 22, 12, 24)),
            "{H\\B}ながいよみ{B_M}漢字{B\\E}漢字");
}

TEST(ConvertRubyMarks, AReadingOverhangsOnlyKanaWithoutRuby) {
  TInfo style = Style96();
  style.FontSize = 16;  // 21 pixels, ruby 12
  style.RFontSize = 9;
  // Between kanji or other readings a four-kana reading (48) spreads a
  // two-kanji base (42) by one space, a five-kana one (60) by three; between
  // plain kana a reading may overhang.
  EXPECT_EQ(Ruby(style, "偶然《ぐうぜん》山嵐《やまあらし》"),
            "{H\\B}ぐうぜん{B_M}偶 然{B\\E}偶{H\\W\\E}然"
            "{H\\W\\E}{H\\B}やまあらし{B_M}山 嵐{B\\E}山{H\\W\\E}嵐{H\\W\\E}");
  EXPECT_EQ(Ruby(style, "の偶然《ぐうぜん》に"), "の{H\\B}ぐうぜん{B_M}偶然{B\\E}偶然に");
  EXPECT_EQ(Ruby(style, "の｜偶然《ぐうぜん》に"), "の{H\\B}ぐうぜん{B_M}偶然{B\\E}偶然に");
  // Punctuation is overhung too, a bar (the next group) is not.
  EXPECT_EQ(Ruby(style, "「偶然《ぐうぜん》」"), "「{H\\B}ぐうぜん{B_M}偶然{B\\E}偶然」");
  EXPECT_EQ(Ruby(style, "「偶然《ぐうぜん》｜か《か》"),
            "「{H\\B}ぐうぜん{B_M}偶 然{B\\E}偶{H\\W\\E}然{H\\B}か{B_M}か{B\\E}か");
  // A single-character base spreads around itself, outside the group.
  EXPECT_EQ(Ruby(style, "漢《かんじ》"), "{H\\W\\E}{H\\B}かんじ{B_M}漢{B\\E}漢{H\\W\\E}");
}

TEST(MakeRuby, MeasuredBaseLosesItsAnnotations) {
  const TInfo style = Style96();
  EXPECT_EQ(U(MakeRuby(S("※［＃「米＋斗」］"), S("と"), style)),
            "{H\\B}と{B_M}※{B\\E}※［＃「米＋斗」］");
}

TEST(ConvertRubyMarks, FindsTheBaseWithOrWithoutBar) {
  const TInfo style = SmallRuby();
  EXPECT_EQ(Ruby(style, "古い｜石橋《いしばし》の"), "古い{H\\B}いしばし{B_M}石橋{B\\E}石橋の");
  // Without the bar the kanji run ends at the hiragana before it.
  EXPECT_EQ(Ruby(style, "京の東京《とうきょう》へ"),
            "京の{H\\B}とうきょう{B_M}東京{B\\E}東京へ");
  EXPECT_EQ(Ruby(style, "｜東京《とうきょう》"), "{H\\B}とうきょう{B_M}東京{B\\E}東京");
  // A kanji run at the line start is taken whole.
  EXPECT_EQ(Ruby(style, "東京《とうきょう》"), "{H\\B}とうきょう{B_M}東京{B\\E}東京");
  // Inside brackets: the symbol stops the scan.
  EXPECT_EQ(Ruby(style, "「川面《かわも》」"), "「{H\\B}かわも{B_M}川面{B\\E}川面」");
  // Katakana: back to the full-width symbol.
  EXPECT_EQ(Ruby(style, "、カタカナ《かたかな》"),
            "、{H\\B}か{B_M}カ{B\\E}カ{H\\B}た{B_M}タ{B\\E}タ{H\\B}か{B_M}カ{B\\E}カ{H\\B}な{B_M}ナ{B\\E}ナ");
  // Two groups in one line.
  EXPECT_EQ(Ruby(style, "｜千代《ちよ》と川《かわ》"),
            "{H\\B}ち{B_M}千{B\\E}千{H\\B}よ{B_M}代{B\\E}代と{H\\B}かわ{B_M}川{B\\E}川");
}

TEST(ConvertRubyMarks, LineStartAndAnnotatedBases) {
  const TInfo style = SmallRuby();
  // Hiragana at the very line start is not part of the base.
  EXPECT_EQ(Ruby(style, "あ《よみ》"), "あ《よみ》");
  EXPECT_EQ(Ruby(style, "かな《よみ》"), "か{H\\B}よみ{B_M}な{B\\E}な");
  // An annotation standing for a kanji is part of the base.
  EXPECT_EQ(Ruby(style, "の※［＃「米＋斗」］《と》"),
            "の{H\\B}と{B_M}※{B\\E}※［＃「米＋斗」］");
  EXPECT_EQ(Ruby(style, "の漢※［＃「米＋斗」］《かんと》"),
            "の{H\\B}かんと{B_M}漢※{B\\E}漢※［＃「米＋斗」］");
}

TEST(ConvertRubyMarks, IncompleteMarksStayText) {
  const TInfo style = SmallRuby();
  for (const char* line : {"｜", "｜漢字", "｜漢字《かんじ", "｜漢字《》", "》", "漢字》", "《》：ルビ",
                           "漢字《", "、《よみ》", "［＃注］《よみ》"}) {
    EXPECT_EQ(Ruby(style, line), line);
  }
  // A bar left over before the real one is part of the base.
  EXPECT_EQ(Ruby(style, "｜a｜漢《かん》"), "{H\\B}かん{B_M}a｜漢{B\\E}a｜漢");
  // Nested marks: the first reading closes the group, the rest stays text.
  EXPECT_EQ(Ruby(style, "｜漢《か《ん》》"), "{H\\B}か《ん{B_M}漢{B\\E}漢》");
}

TEST(ConvertRubyMarks, TrailBytesAreNeverMarks) {
  const TInfo style = SmallRuby();
  // "刀" is 93 81: followed by "t", "s" or "b" its trail byte and the letter
  // spell 》, 《 or ｜ when read from the wrong byte.
  const std::string blade = "\x93\x81";
  for (const std::string& line : {S("漢《よ") + blade + "t", blade + "s" + S("よみ》"),
                                  blade + "b" + S("漢《かん》")}) {
    const std::string out = ConvertRubyMarks(line, style);
    if (line.find(S("《かん》")) != std::string::npos) {
      EXPECT_EQ(out, blade + "b" + S("{H\\B}かん{B_M}漢{B\\E}漢"));
    } else {
      EXPECT_EQ(out, line);
    }
  }
}

TEST(ConvertRubyMarks, LeavesExistingTagsAlone) {
  const TInfo style = Style96();
  EXPECT_EQ(Ruby(style, "{H\\A_S}a《b》.html{A_S\\E}x"), "{H\\A_S}a《b》.html{A_S\\E}x");
  // A tag is never swallowed into a base.
  EXPECT_EQ(Ruby(style, "{H\\L\\E}カナ《かな》"), "{H\\L\\E}{H\\B}か{B_M}カ{B\\E}カ{H\\B}な{B_M}ナ{B\\E}ナ");
}

TEST(ApplyAnnotations, EmphasisAndAsWrittenBecomeRuby) {
  const TInfo style = Style96();
  TLines lines;
  FillLines(lines, {"私は［＃「私は」に傍点］もう", "云う［＃「云う」はママ］", "他［＃「別」に傍点］だ",
                    "［＃傍点］強く［＃傍点終わり］"});
  ApplyAnnotations(lines, style);
  const auto t = Texts(lines);
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[0], "{H\\B}ヽ{B_M}私{B\\E}私{H\\B}ヽ{B_M}は{B\\E}はもう");
  EXPECT_EQ(t[1], "{H\\B}マ{B_M}云{B\\E}云{H\\B}マ{B_M}う{B\\E}う");
  // The quoted text is not what precedes: nothing is cut, the annotation
  // stays visible as a note.
  EXPECT_EQ(t[2], "{H\\O}「別」に傍点{O\\E}他だ");
  EXPECT_EQ(t[3], "{H\\B}ヽ{B_M}強{B\\E}強{H\\B}ヽ{B_M}く{B\\E}く");
}

TEST(ApplyAnnotations, BlockIndentSpansLinesAndRemovesItsOwn) {
  const TInfo style = Style96();
  TLines lines;
  FillLines(lines, {"a", "［＃ここから２字下げ］", "b", "c", "［＃ここで字下げ終わり］", "d",
                    "［＃ここから二字下げ］", "e", "［＃ここで字下げ終わり］",
                    "［＃ここから１０字下げ］", "g", "［＃ここから2字下げ］f"});
  ApplyAnnotations(lines, style);
  ASSERT_EQ(lines.Count(), 7);
  const std::vector<std::pair<std::string, int>> expected = {
      {"a", 0}, {"b", 2}, {"c", 2}, {"d", 0}, {"e", 1}, {"g", 10},
      // Text beside the annotation is kept and indented.
      {"f", 2}};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(U(lines.Item(i)->Text), expected[i].first) << i;
    EXPECT_EQ(lines.Item(i)->Indent, expected[i].second) << i;
  }
  EXPECT_EQ(lines.Item(3)->SourceIndex, 5);
}

TEST(ApplyAnnotations, AlignmentAtLineStartAndMidLine) {
  const TInfo style = Style96();
  TLines lines;
  FillLines(lines, {"［＃地付き］（了）", "本文［＃地付き］署名", "［＃中央揃え］題", "前［＃中央揃え］後"});
  ApplyAnnotations(lines, style);
  ASSERT_EQ(lines.Count(), 5);
  EXPECT_EQ(U(lines.Item(0)->Text), "（了）");
  EXPECT_EQ(lines.Item(0)->Align, 1);
  EXPECT_EQ(U(lines.Item(1)->Text), "本文");
  EXPECT_EQ(lines.Item(1)->Align, 0);
  EXPECT_EQ(U(lines.Item(2)->Text), "署名");
  EXPECT_EQ(lines.Item(2)->Align, 1);
  // The split-off line keeps its source line's index.
  EXPECT_EQ(lines.Item(2)->SourceIndex, 1);
  EXPECT_EQ(U(lines.Item(3)->Text), "題");
  EXPECT_EQ(lines.Item(3)->Align, 2);
  EXPECT_EQ(U(lines.Item(4)->Text), "前［＃中央揃え］後");
  EXPECT_EQ(lines.Item(4)->Align, 0);
}

TEST(ApplyAnnotations, OtherAnnotationsStayOrBecomeNotes) {
  const TInfo style = Style96();
  TLines lines;
  FillLines(lines, {"［＃未知］一［＃注］", "文中［＃改ページ］続き", "［＃改ページ］",
                    "aX［＃注］", "{H\\L\\E}漢{H\\D\\E}［＃注］", "［＃注］［＃別］",
                    "［＃閉じない", "［＃］空", "［［＃注］"});
  ApplyAnnotations(lines, style);
  const auto t = Texts(lines);
  ASSERT_EQ(t.size(), 9u);
  EXPECT_EQ(t[0], "［＃未知］{H\\O}注{O\\E}一");
  EXPECT_EQ(t[1], "文{H\\O}改ページ{O\\E}中続き");
  EXPECT_EQ(t[2], "［＃改ページ］");
  // The note is tied to the whole character before it...
  EXPECT_EQ(t[3], "a{H\\O}注{O\\E}X");
  // ...which is the last visible one, never a tag's closing brace.
  EXPECT_EQ(t[4], "{H\\L\\E}{H\\O}注{O\\E}漢{H\\D\\E}");
  // A second annotation right after one kept at the line start.
  EXPECT_EQ(t[5], "［＃注{H\\O}別{O\\E}］");
  EXPECT_EQ(t[6], "［＃閉じない");
  EXPECT_EQ(t[7], "［＃］空");
  // A lone "［" is text: the annotation after it is a note on it.
  EXPECT_EQ(t[8], "{H\\O}注{O\\E}［");
}

TEST(PrepareLine, VoicedMarksOnlyInVerticalWriting) {
  TInfo style = Style96();
  EXPECT_EQ(U(PrepareLine(S("か゛き゜"), style)), "か{H\\V}゛{V\\E}き{H\\V}゜{V\\E}");
  // Not inside a tag's argument.
  EXPECT_EQ(U(PrepareLine(S("{H\\B}か゛{B_M}漢{B\\E}漢"), style)), "{H\\B}か゛{B_M}漢{B\\E}漢");
  style.Direction = kDirectionHorizontal;
  EXPECT_EQ(U(PrepareLine(S("か゛"), style)), "か゛");
}

TEST(PrepareLine, TabsExpandOnVisibleColumns) {
  TInfo style = Style96();
  EXPECT_EQ(PrepareLine("1234567\tx", style), "1234567 x");
  EXPECT_EQ(PrepareLine("\tx", style), "        x");
  // The second tab is measured on the already expanded text.
  EXPECT_EQ(PrepareLine("\ta\tb", style), "        a       b");
  // Tags take no column; double-byte characters take two.
  EXPECT_EQ(PrepareLine("{H\\L\\E}ab\tc", style), "{H\\L\\E}ab      c");
  EXPECT_EQ(PrepareLine(S("漢\tc"), style), S("漢      c"));
  style.Tab = 0;
  EXPECT_EQ(PrepareLine("a\tb", style), "a\tb");
  style.Tab = 4;
  EXPECT_EQ(PrepareLine("abcd\te", style), "abcd    e");
}

TEST(PrepareLine, RuleLinesFromFortyBytes) {
  TInfo style = Style96();
  EXPECT_EQ(PrepareLine(std::string(39, '-'), style), std::string(39, '-'));
  EXPECT_EQ(PrepareLine(std::string(40, '-'), style), "{H\\Y}-{Y\\E}");
  std::string zigzag;
  for (int i = 0; i < 20; ++i) zigzag += "_/";
  EXPECT_EQ(PrepareLine(zigzag, style), "{H\\Y}_/{Y\\E}");
  std::string bars;
  for (int i = 0; i < 20; ++i) bars += S("―");
  EXPECT_EQ(U(PrepareLine(bars, style)), "{H\\Y}―{Y\\E}");
  EXPECT_EQ(PrepareLine(std::string(39, '-') + "=", style), std::string(39, '-') + "=");
  // Several patterns match: the last one in the list decides.
  style.HR = {"-", "", "--"};
  EXPECT_EQ(PrepareLine(std::string(40, '-'), style), "{H\\Y}--{Y\\E}");
  // Tabs are expanded first: five tabs (40 spaces) against a space pattern.
  style.HR = {" "};
  EXPECT_EQ(PrepareLine(std::string(5, '\t'), style), std::string(40, ' '));
  EXPECT_EQ(PrepareLine(std::string(40, '\t'), style), "{H\\Y} {Y\\E}");
}

TEST(ApplyPageBreaks, PadsToColumnPageAndOddPage) {
  // Three lines a column, two columns a page.
  auto run = [](std::initializer_list<std::string_view> text) {
    TLines lines;
    FillLines(lines, text);
    ApplyPageBreaks(lines, 3, 2);
    return Texts(lines);
  };
  using V = std::vector<std::string>;
  EXPECT_EQ(run({"a", "［＃改段］", "b"}), (V{"a", "", "", "b"}));
  EXPECT_EQ(run({"a", "［＃改ページ］", "b"}), (V{"a", "", "", "", "", "", "b"}));
  auto odd = run({"a", "［＃改丁］", "b"});
  EXPECT_EQ(odd.size(), 13u);
  EXPECT_EQ(odd.back(), "b");
  // Already at a page start: nothing is inserted.
  EXPECT_EQ(run({"［＃改ページ］", "b"}), (V{"b"}));
  // Text that shares the line with the break is kept after it.
  EXPECT_EQ(run({"a", "［＃改段］b", "c"}), (V{"a", "", "", "b", "c"}));
  // A side note of a break does nothing.
  EXPECT_EQ(run({"a", "{H\\O}改ページ{O\\E}x"}), (V{"a", "{H\\O}改ページ{O\\E}x"}));
}

TEST(ApplyPageBreaks, PaddingKeepsTheSourceIndexAndSurvivesDegenerateMeasures) {
  TLines lines;
  FillLines(lines, {"a", "［＃改ページ］", "b"});
  ApplyPageBreaks(lines, 4, 1);
  ASSERT_EQ(lines.Count(), 5);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(lines.Item(i)->SourceIndex, 1);
  FillLines(lines, {"a", "［＃改丁］", "b"});
  ApplyPageBreaks(lines, 0, 0);  // treated as one line, one column
  EXPECT_EQ(Texts(lines), (std::vector<std::string>{"a", "", "b"}));
}

// The sample book through the plain-text steps, one display line per source
// line (wrapping is the line builder's business).
TEST(TextConversion, SampleBook) {
  const auto file = ReadWholeFile(RPV_SOURCE_DIR "/samples/sample.sjis.txt");
  ASSERT_TRUE(file.has_value());
  TInfo style = Style96();
  TLines lines;
  size_t start = 0;
  while (start < file->size()) {
    size_t end = file->find("\r\n", start);
    if (end == std::string::npos) end = file->size();
    const int i = lines.Add();
    lines.Item(i)->Text = file->substr(start, end - start);
    lines.Item(i)->SourceIndex = i;
    start = end + 2;
  }
  const int sourceCount = lines.Count();
  for (int i = 0; i < lines.Count(); ++i) lines.Item(i)->Text = ConvertRubyMarks(lines.Item(i)->Text, style);
  ApplyAnnotations(lines, style);
  for (int i = 0; i < lines.Count(); ++i) lines.Item(i)->Text = PrepareLine(lines.Item(i)->Text, style);
  // The two block-indent annotation lines are gone.
  EXPECT_EQ(lines.Count(), sourceCount - 2);

  auto find = [&](std::string_view utf8) {
    for (int i = 0; i < lines.Count(); ++i) {
      if (U(lines.Item(i)->Text).find(utf8) != std::string::npos) return i;
    }
    return -1;
  };
  EXPECT_GE(find("{H\\B}かわも{B_M}川面{B\\E}川面には"), 0);
  EXPECT_GE(find("古い{H\\B}いしばし{B_M}石橋{B\\E}石橋の上"), 0);
  EXPECT_GE(find("{H\\B}ち{B_M}千{B\\E}千{H\\B}よ{B_M}代{B\\E}代だった"), 0);
  EXPECT_GE(find("{H\\B}ヽ{B_M}私{B\\E}私{H\\B}ヽ{B_M}は{B\\E}はもう一度"), 0);
  const int heading = find("{H\\L\\E}{H\\Z}2{Z\\E}一{H\\Z}0{Z\\E}{H\\D\\E}");
  ASSERT_GE(heading, 0);
  EXPECT_EQ(lines.Item(heading)->Indent, 3);
  // The poem between the block annotations is indented by two.
  const int poem = find("　春の川");
  ASSERT_GE(poem, 0);
  for (int i = poem; i < poem + 5; ++i) EXPECT_EQ(lines.Item(i)->Indent, 2);
  EXPECT_EQ(lines.Item(poem + 5)->Indent, 0);
  // The dashed rules of the header (55 hyphens) are rules now.
  EXPECT_GE(find("{H\\Y}-{Y\\E}"), 0);
  // The closing "（了）" stands at the line end.
  const int end = find("（了）");
  ASSERT_GE(end, 0);
  EXPECT_EQ(lines.Item(end)->Align, 1);
  EXPECT_EQ(U(lines.Item(end)->Text), "（了）");

  // Page break: with 5 lines a page the line after the break opens a page.
  const int breakLine = find("［＃改ページ］");
  ASSERT_GE(breakLine, 0);
  const int afterIndex = lines.Item(breakLine + 1)->SourceIndex;
  ApplyPageBreaks(lines, 5, 1);
  EXPECT_EQ(find("［＃改ページ］"), -1);
  int moved = -1;
  for (int i = breakLine; i < lines.Count() && moved < 0; ++i) {
    if (lines.Item(i)->SourceIndex == afterIndex) moved = i;
  }
  ASSERT_GT(moved, breakLine);
  EXPECT_EQ(moved % 5, 0);
  for (int i = breakLine; i < moved; ++i) EXPECT_EQ(lines.Item(i)->Text, "");
}

// Whatever the bytes, every pass ends and returns something; run under the
// sanitizers this also checks that no scan reads outside its line.
TEST(TextConversion, RandomBytesTerminate) {
  const TInfo style = Style96();
  std::mt19937 rng(12345);
  const std::string pieces[] = {S("｜"), S("《"), S("》"), S("［＃"), S("］"), S("「"), S("」"),
                                S("傍点"), S("ここから"), S("字下げ"), S("地付き"), "{H\\",
                                "\\E}", "\t", "-", "\x81", "\x93", "a", S("漢"), S("゛")};
  for (int round = 0; round < 2000; ++round) {
    std::string line;
    const int n = static_cast<int>(rng() % 30);
    for (int k = 0; k < n; ++k) {
      if (rng() % 4 == 0) {
        line += static_cast<char>(rng() % 256);
      } else {
        line += pieces[rng() % std::size(pieces)];
      }
    }
    TLines lines;
    lines.Item(lines.Add())->Text = ConvertRubyMarks(line, style);
    lines.Item(lines.Add())->Text = line;
    ApplyAnnotations(lines, style);
    for (int i = 0; i < lines.Count(); ++i) {
      lines.Item(i)->Text = PrepareLine(lines.Item(i)->Text, style);
    }
    ApplyPageBreaks(lines, 3, 2);
    EXPECT_LE(lines.Count(), 20);
  }
}
