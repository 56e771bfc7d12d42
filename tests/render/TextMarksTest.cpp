// The markup of e-text annotations as the page draws it: size steps, side
// lines, boxes, tate-chu-yoko, left ruby and kanbun marks, in both writing
// directions, and the line breaker measuring what the renderer draws.
#include "tests/render/PageTestUtil.h"

#include "import/DisplayMarkup.h"
#include "import/LineBuilder.h"
#include "platform/PngWriter.h"

namespace rpv::testing {
namespace {

class TextMarksTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    WriteText("one.txt", "あ\n");
    WriteStyle("V");
    WriteStyle("H", Horizontal);
  }
  // Horizontal writing in the default faces without their vertical mark.
  static void Horizontal(TInfo& s) {
    s.Direction = kDirectionHorizontal;
    s.FontName.erase(0, 1);
    s.RFontName.erase(0, 1);
  }
  // The right edge (vertical) or top (horizontal) of line i's cells.
  static int CrossOf(const TInfo& s, int i) {
    if (s.IsVertical()) return s.PageWidth - s.PageMarginRight - s.WidthReserve() - s.LinePitch() * i;
    return s.PageMarginTop + s.HeaderHeight() + s.RubyBandHeight() + s.LinePitch() * i;
  }
  static int Head(const TInfo& s) {
    return s.IsVertical() ? s.PageMarginTop + s.HeaderHeight() : s.PageMarginLeft;
  }
  // Along and across a line, whatever the direction.
  static int From(const TRect& r, bool v) { return v ? r.Top : r.Left; }
  static int To(const TRect& r, bool v) { return v ? r.Bottom : r.Right; }
  static int Lo(const TRect& r, bool v) { return v ? r.Left : r.Top; }
  static int Hi(const TRect& r, bool v) { return v ? r.Right : r.Bottom; }
};

// The text of one line drawn at a size step: larger fonts, cells as wide as
// the step makes them, centred across a vertical line and on the baseline
// of a horizontal one; the breaker measures the same widths, and a step
// that is in force at a cut goes on at the next line.
TEST_F(TextMarksTest, SizeStepsScaleFontsAndCellsAsTheBreakerMeasures) {
  for (const char* section : {"V", "H"}) {
    auto book = Open(section, 700, 400, "one.txt");
    const TInfo& s = book->Style;
    const bool v = s.IsVertical();
    const int f = s.FontPixels(), b = s.BetweenChar, aa = std::max(1, int{s.AntiAliasing});
    const int big = SizeStepPixels(f, 2), small = SizeStepPixels(f, -2);
    const std::string line = "あ{H\\Z}2{Z\\E}いう{H\\Z}-2{Z\\E}え{H\\Z}0{Z\\E}お";
    SetLines(*book, {line, "{H\\Z}3{Z\\E}かき", "く", "け"});
    book->DisplayLines.Item(2)->SourceIndex = 1;  // "く" continues the line before
    const TPageRecorder rec = Record(*book, 0);
    const auto text = rec.Of(TDrawKind::Text, 0);
    ASSERT_EQ(text.size(), 5u) << section;
    const int head = Head(s), x = CrossOf(s, 0);
    const int sizes[] = {f, big, big, small, f};
    int pen = head;
    for (size_t k = 0; k < 5; ++k) {
      EXPECT_EQ(text[k].Font.Height, sizes[k] * aa) << section << k;
      EXPECT_EQ(From(text[k].Box, v), pen) << section << k;
      EXPECT_EQ(To(text[k].Box, v) - From(text[k].Box, v), sizes[k]) << section << k;
      pen += sizes[k] + b;
      if (v) {
        EXPECT_NEAR(text[k].Box.Left + text[k].Box.Right, 2 * x - f, 1) << k;  // centred
      }
    }
    if (!v) {
      // On one baseline: larger text reaches higher and lower, smaller less.
      EXPECT_EQ(text[0].Box.Top, x);
      EXPECT_LT(text[1].Box.Top, x);
      EXPECT_GE(text[1].Box.Bottom, x + f);
      EXPECT_GT(text[3].Box.Top, x);
      EXPECT_LE(text[3].Box.Bottom, x + f);
    }
    // The step in force at the end of a line holds on the next one, to
    // the end of its source line.
    EXPECT_EQ(rec.Of(TDrawKind::Text, 2)[0].Font.Height, SizeStepPixels(f, 3) * aa) << section;
    EXPECT_EQ(rec.Of(TDrawKind::Text, 3)[0].Font.Height, f * aa) << section;

    // The breaker: exactly the drawn width fits, a pixel less does not.
    const std::string markup = Utf8ToCp932(line);
    TBreakRules rules = BreakRulesOf(s);
    rules.LineLength = pen - b - head;
    EXPECT_EQ(TLineBreaker(rules).NextBreak(markup, 0, 0), markup.size()) << section;
    rules.LineLength -= 1;
    EXPECT_EQ(TLineBreaker(rules).NextBreak(markup, 0, 0), markup.size() - 2) << section;
    // A step set before a cut measures the next line too: lines three
    // large cells long (four body cells would fit).
    const std::string large = Utf8ToCp932("{H\\Z}3{Z\\E}かきくけこさし");
    rules.LineLength = 3 * SizeStepPixels(f, 3) + 2 * b;
    TLineBreaker breaker(rules);
    const size_t first = breaker.NextBreak(large, 0, 0);
    EXPECT_EQ(large.substr(first), Utf8ToCp932("けこさし")) << section;
    EXPECT_EQ(large.substr(breaker.NextBreak(large, first, 0)), Utf8ToCp932("し")) << section;
  }
}

// A tate-chu-yoko run is one cell across a vertical line, in the upright
// font, made smaller when wider than the cell; horizontal writing sets it
// as ordinary text. The breaker measures it as one cell and never cuts it.
TEST_F(TextMarksTest, TateChuYokoIsOneCellAcrossTheLine) {
  auto book = Open("V", 700, 400, "one.txt");
  const TInfo& s = book->Style;
  const int f = s.FontPixels(), b = s.BetweenChar, head = Head(s), x = CrossOf(s, 0);
  const std::string line = "年{H\\T\\E}12{H\\TE\\E}月{H\\T\\E}2024{H\\TE\\E}日{H\\T\\E}3";
  SetLines(*book, {line});
  const auto text = Record(*book, 0).Of(TDrawKind::Text, 0);
  // 年, 12, 月, 2024, 日, then an unclosed run: "3" as ordinary text.
  ASSERT_EQ(text.size(), 6u);
  for (size_t k : {1u, 3u}) {
    EXPECT_EQ(text[k].Text, k == 1 ? "12" : "2024");
    EXPECT_EQ(text[k].Role, TFontRole::Upright);
    EXPECT_EQ(text[k].Orientation, TOrientation::Horizontal);
    EXPECT_NEAR(text[k].Box.Left + text[k].Box.Right, 2 * x - f, 1);
    EXPECT_GE(text[k].Box.Left, x - f);  // inside the cell
    EXPECT_LE(text[k].Box.Right, x);
    EXPECT_GE(text[k].Box.Top, head + static_cast<int>(k) * (f + b));
    EXPECT_LE(text[k].Box.Bottom, head + static_cast<int>(k + 1) * (f + b));
    EXPECT_EQ(text[k + 1].Box.Top, head + static_cast<int>(k + 1) * (f + b));
  }
  EXPECT_LT(text[3].Font.Height, text[1].Font.Height);  // four digits made smaller
  EXPECT_EQ(text[5].Text, "3");

  const std::string markup = Utf8ToCp932(line);
  TBreakRules rules = BreakRulesOf(s);
  rules.LineLength = 6 * f + 5 * b;  // "3" stands upright in a cell of its own
  EXPECT_EQ(TLineBreaker(rules).NextBreak(markup, 0, 0), markup.size());
  // Room for four cells: the cut falls after the run "2024", whole.
  rules.LineLength = 4 * f + 3 * b;
  const std::string rest = markup.substr(TLineBreaker(rules).NextBreak(markup, 0, 0));
  EXPECT_EQ(rest, Utf8ToCp932("日{H\\T\\E}3"));

  // Horizontal: ordinary half-width digits in the body font.
  auto h = Open("H", 700, 400, "one.txt");
  SetLines(*h, {line});
  const auto flat = Record(*h, 0).Of(TDrawKind::Text, 0);
  ASSERT_EQ(flat.size(), 10u);
  EXPECT_EQ(flat[1].Role, TFontRole::Body);
  EXPECT_EQ(flat[1].Box.Right - flat[1].Box.Left, (h->Style.FontPixels() + 1) / 2);
}

// Side lines stand one pixel clear of the cells, on the side the kind says,
// with its stroke; a box's rule surrounds its cells. Each line a run covers
// draws its own piece, the next from its line's head.
TEST_F(TextMarksTest, SideLinesAndBoxesFollowTheirTextOnEveryLine) {
  for (const char* section : {"V", "H"}) {
    auto book = Open(section, 700, 400, "one.txt");
    const TInfo& s = book->Style;
    const bool v = s.IsVertical();
    const int f = s.FontPixels(), b = s.BetweenChar, head = Head(s);
    const int perLine = s.LineLength() / (f + b);
    std::string full;
    for (int k = 0; k < perLine - 2; ++k) full += "あ";
    SetLines(*book, {"あ{H\\N}RS{N\\E}いう{H\\NE\\E}え{H\\N}LW{N\\E}お{H\\N}RD{N\\E}か{H\\NE\\E}",
                     full + "{H\\X\\E}きく", "けこ{H\\XE\\E}さ{H\\N}RC{N\\E}し{H\\N}RB{N\\E}す{H\\NE\\E}",
                     "{H\\N}LS{N\\E}{H\\BL}ひだり{B_M}左{B\\E}左{H\\N}RS{N\\E}{H\\B}かん{B_M}漢{B\\E}漢{H\\NE\\E}"});
    book->DisplayLines.Item(2)->SourceIndex = 1;  // one source line cut in two
    const TPageRecorder rec = Record(*book, 0);
    const auto glyphs = rec.Of(TDrawKind::Text, 0);
    const auto lines = rec.Of(TDrawKind::Sideline, 0);
    ASSERT_EQ(lines.size(), 3u) << section;
    const int lo = Lo(glyphs[0].Box, v), hi = Hi(glyphs[0].Box, v);
    // "いう" right of / below the cells, solid.
    EXPECT_EQ(lines[0].Stroke, TStroke::Solid);
    EXPECT_EQ(From(lines[0].Box, v), From(glyphs[1].Box, v));
    EXPECT_EQ(To(lines[0].Box, v), To(glyphs[2].Box, v));
    EXPECT_EQ(Lo(lines[0].Box, v), hi + 1);
    // "お" wavy on the other side; "か" double, the wavy line ended by the new kind.
    EXPECT_EQ(lines[1].Stroke, TStroke::Wavy);
    EXPECT_EQ(Hi(lines[1].Box, v), lo - 1);
    EXPECT_EQ(From(lines[1].Box, v), From(glyphs[4].Box, v));
    EXPECT_EQ(To(lines[1].Box, v), To(glyphs[4].Box, v));
    EXPECT_EQ(lines[2].Stroke, TStroke::Double);
    EXPECT_EQ(From(lines[2].Box, v), From(glyphs[5].Box, v));
    for (const auto& l : lines) EXPECT_EQ(l.Orientation, v ? TOrientation::Vertical : TOrientation::Horizontal);

    // The box over a line break: "きく" at the end of line 1, "けこ" at
    // the head of line 2, each enclosed.
    const auto boxes = rec.Of(TDrawKind::Box);
    ASSERT_EQ(boxes.size(), 2u) << section;
    const auto end1 = rec.Of(TDrawKind::Text, 1);
    const auto line2 = rec.Of(TDrawKind::Text, 2);
    EXPECT_EQ(boxes[0].Line, 1);
    EXPECT_EQ(boxes[1].Line, 2);
    for (int k : {0, 1}) {
      const TRect inner = k == 0 ? Union(end1[end1.size() - 2].Box, end1.back().Box)
                                 : Union(line2[0].Box, line2[1].Box);
      const TRect& box = boxes[static_cast<size_t>(k)].Box;
      const int t = boxes[static_cast<size_t>(k)].Thickness;
      EXPECT_EQ(box, (TRect{inner.Left - t - 1, inner.Top - t - 1, inner.Right + t + 1, inner.Bottom + t + 1}))
          << section << k;
    }
    EXPECT_EQ(From(boxes[1].Box, v), head - boxes[1].Thickness - 1);
    const auto more = rec.Of(TDrawKind::Sideline, 2);
    ASSERT_EQ(more.size(), 2u);
    EXPECT_EQ(more[0].Stroke, TStroke::Chain);
    EXPECT_EQ(more[1].Stroke, TStroke::Broken);
    // Readings on a side line's side stand beyond it.
    const auto marked = rec.Of(TDrawKind::Sideline, 3);
    const auto ruby = rec.Of(TDrawKind::Ruby, 3);
    const auto left = rec.Of(TDrawKind::LeftRuby, 3);
    ASSERT_EQ(marked.size(), 2u);
    ASSERT_EQ(ruby.size(), 1u);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_FALSE(Overlap(left[0].Box, marked[0].Box));
    EXPECT_FALSE(Overlap(ruby[0].Box, marked[1].Box));
  }
}

// Left ruby stands where side notes do, centred on its base, and a note
// after it keeps clear of it; the breaker keeps a left group with its base
// and splits a base longer than a line into two left groups. Kanbun marks
// take no room: a kaeriten at the lower left of its character, okurigana at
// the lower right (vertical); below and above the character's end in
// horizontal writing.
TEST_F(TextMarksTest, LeftRubyAndKanbunMarksStandBesideTheirCharacters) {
  for (const char* section : {"V", "H"}) {
    auto book = Open(section, 700, 400, "one.txt");
    const TInfo& s = book->Style;
    const bool v = s.IsVertical();
    const int f = s.FontPixels(), b = s.BetweenChar;
    SetLines(*book, {"{H\\BL}ひだりがわ{B_M}左側{B\\E}左側{H\\O}注記{O\\E}です",
                     "学{H\\Q}二{Q\\E}而時習{H\\U}ス{U\\E}{H\\Q}レ{Q\\E}之"});
    const TPageRecorder rec = Record(*book, 0);
    const auto left = rec.Of(TDrawKind::LeftRuby, 0);
    ASSERT_EQ(left.size(), 1u) << section;
    EXPECT_EQ(Cp932ToUtf8(left[0].Text), "ひだりがわ");
    EXPECT_EQ(left[0].Role, TFontRole::Ruby);
    EXPECT_TRUE(rec.Of(TDrawKind::Ruby).empty());
    const auto glyphs = rec.Of(TDrawKind::Text, 0);
    const int lo = Lo(glyphs[0].Box, v), hi = Hi(glyphs[0].Box, v);
    if (v) {
      EXPECT_EQ(left[0].Box.Right, lo);
    } else {
      EXPECT_EQ(left[0].Box.Top, hi);
    }
    EXPECT_NEAR(From(left[0].Box, v) + To(left[0].Box, v),
                From(glyphs[0].Box, v) + To(glyphs[1].Box, v), 1);
    const auto note = rec.Of(TDrawKind::Note, 0);
    ASSERT_EQ(note.size(), 1u);
    EXPECT_FALSE(Overlap(note[0].Box, left[0].Box));
    EXPECT_EQ(Lo(note[0].Box, v), Lo(left[0].Box, v));

    // Kanbun: nothing moves the characters.
    const auto chars = rec.Of(TDrawKind::Text, 1);
    ASSERT_EQ(chars.size(), 5u);
    for (size_t k = 1; k < chars.size(); ++k)
      EXPECT_EQ(From(chars[k].Box, v), From(chars[k - 1].Box, v) + f + b) << section;
    const auto kaeriten = rec.Of(TDrawKind::Kaeriten, 1);
    const auto okurigana = rec.Of(TDrawKind::Okurigana, 1);
    ASSERT_EQ(kaeriten.size(), 2u);
    ASSERT_EQ(okurigana.size(), 1u);
    EXPECT_EQ(Cp932ToUtf8(kaeriten[1].Text), "レ");
    EXPECT_EQ(kaeriten[0].Role, TFontRole::Ruby);
    const TRect& gaku = chars[0].Box;
    const TRect& shuu = chars[3].Box;
    EXPECT_EQ(To(kaeriten[0].Box, v), To(gaku, v));  // ends with its character
    EXPECT_EQ(To(kaeriten[1].Box, v), To(shuu, v));
    EXPECT_EQ(To(okurigana[0].Box, v), To(shuu, v));
    if (v) {
      EXPECT_EQ(kaeriten[0].Box.Right, gaku.Left);  // lower left
      EXPECT_EQ(okurigana[0].Box.Left, shuu.Right);  // lower right
    } else {
      EXPECT_EQ(kaeriten[0].Box.Top, gaku.Bottom);  // below
      EXPECT_EQ(okurigana[0].Box.Bottom, shuu.Top);  // above
    }
  }

  // Emphasis marks stand one beside each character, centred on it, on
  // either side.
  {
    auto book = Open("V", 700, 400, "one.txt");
    SetLines(*book, {"{H\\B}ヽヽヽ{B_M}傍点付{B\\E}傍点付{H\\BL}○○{B_M}左右{B\\E}左右"});
    const TPageRecorder rec = Record(*book, 0);
    const int f = book->Style.FontPixels(), b = book->Style.BetweenChar, head = Head(book->Style);
    const auto right = rec.Of(TDrawKind::Ruby, 0);
    const auto left = rec.Of(TDrawKind::LeftRuby, 0);
    ASSERT_EQ(right.size(), 1u);
    ASSERT_EQ(left.size(), 1u);
    const int mark = right[0].Box.Right - right[0].Box.Left;  // one ruby cell across
    EXPECT_NEAR(right[0].Box.Top, head + (f - mark) / 2, 1);
    EXPECT_NEAR(right[0].Box.Bottom, head + 2 * (f + b) + (f + mark) / 2, 1);
    EXPECT_NEAR(left[0].Box.Top, head + 3 * (f + b) + (f - mark) / 2, 1);
    EXPECT_NEAR(left[0].Box.Bottom, head + 4 * (f + b) + (f + mark) / 2, 1);
  }

  // The breaker: a left group whose base would be cut goes to the next line
  // whole; a base longer than a line is split with its reading, both halves
  // left groups.
  WriteStyle("N", [](TInfo& st) {
    Horizontal(st);
    st.blnHang = false;
  });
  auto book = Open("N", 700, 400, "one.txt");
  TBreakRules rules = BreakRulesOf(book->Style);
  const int f = book->Style.FontPixels(), b = book->Style.BetweenChar;
  rules.LineLength = 3 * f + 2 * b;
  const std::string whole = Utf8ToCp932("ああ{H\\BL}ひだり{B_M}左側{B\\E}左側");
  EXPECT_EQ(TLineBreaker(rules).NextBreak(whole, 0, 0), 4u);
  TLine source;
  source.Text = Utf8ToCp932("{H\\BL}ながいながいよみ{B_M}長長長長長長{B\\E}長長長長長長");
  TLines out;
  TLineBreaker breaker(rules);
  WrapLine(source, breaker, out, source.Text.view());
  ASSERT_EQ(out.Count(), 2);
  for (int k = 0; k < 2; ++k) {
    const std::string t = Cp932ToUtf8(std::string(out.Item(k)->Text.view()));
    EXPECT_EQ(t.rfind("{H\\BL}", 0), 0u) << t;
    EXPECT_EQ(t.find("{H\\B}"), std::string::npos) << t;
  }
}

// Pictures of hand-made markup in both directions, for a person to look at
// (disabled; run with --gtest_also_run_disabled_tests, written to
// $RPV_SAMPLE_DIR or /tmp as text-marks-*.png).
TEST_F(TextMarksTest, DISABLED_WritePictures) {
  const char* dir = std::getenv("RPV_SAMPLE_DIR");
  const std::string out = dir != nullptr ? dir : "/tmp";
  const std::vector<std::string> lines = {
      "{H\\L\\E}{H\\Z}2{Z\\E}中見出し{H\\Z}0{Z\\E}{H\\D\\E}と{H\\Z}3{Z\\E}大{H\\Z}0{Z\\E}と{H\\Z}-2{Z\\E}割り注{H\\Z}0{Z\\E}",
      "{H\\N}RS{N\\E}傍線{H\\NE\\E}{H\\N}LS{N\\E}左傍線{H\\NE\\E}{H\\N}RD{N\\E}二重{H\\NE\\E}{H\\N}RC{N\\E}鎖線{H\\NE\\E}{H\\N}RB{N\\E}破線{H\\NE\\E}{H\\N}RW{N\\E}波線{H\\NE\\E}",
      "明治{H\\T\\E}39{H\\TE\\E}年{H\\T\\E}4{H\\TE\\E}月{H\\T\\E}100{H\\TE\\E}日{H\\T\\E}!?{H\\TE\\E}",
      "{H\\X\\E}罫囲み{H\\XE\\E}と{H\\B}かんじ{B_M}漢字{B\\E}漢字と{H\\BL}ひだり{B_M}左側{B\\E}左側{H\\O}注{O\\E}",
      "学{H\\Q}二{Q\\E}而時習{H\\U}ス{U\\E}{H\\Q}一{Q\\E}之{H\\U}ヲ{U\\E}、不{H\\Q}レ{Q\\E}亦説{H\\U}バシカラ{U\\E}{H\\Q}レ{Q\\E}乎。",
      "{H\\N}RW{N\\E}{H\\X\\E}長い波線と罫囲みが行の終わりを越えて次の行へ続く{H\\XE\\E}{H\\NE\\E}",
  };
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  WriteText("marks.txt", text);
  // Small and mono, and large and supersampled.
  for (const bool large : {false, true}) {
    for (const char* direction : {"V", "H"}) {
      const std::string section = std::string(direction) + (large ? "L" : "");
      WriteStyle(section, [&](TInfo& s) {
        if (direction[0] == 'H') Horizontal(s);
        s.FontSize = large ? 30 : 16;
        s.RFontSize = large ? 15 : 8;
        s.AntiAliasing = large ? 2 : 1;
      });
      auto book = Open(section, large ? 1000 : 560, large ? 760 : 400, "marks.txt");
      book->DrawPage(0);
      std::string error;
      EXPECT_TRUE(WritePng(book->PageBitmap, out + "/text-marks-" + section + ".png", &error)) << error;
    }
  }
}

}  // namespace
}  // namespace rpv::testing
