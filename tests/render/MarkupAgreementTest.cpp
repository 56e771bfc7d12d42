// One line of broken markup, seen by everything that reads markup: the line
// breaker's measure, the column renderer's drawing, the search and reading
// positions must all take the same bytes for tags and the same for text.
#include "tests/render/PageTestUtil.h"

#include "import/LineBuilder.h"
#include "import/MarkupWalker.h"

namespace rpv::testing {
namespace {

using MarkupAgreementTest = PageTest;

TEST_F(MarkupAgreementTest, MeasureDrawingSearchAndPositionsSeeTheSameText) {
  // A note whose closing is misspelt (its span ends at the first "\E}", a
  // tag of no known kind, so "{O\E}" is text), a lower-case "{h\" (text),
  // a span of an unknown kind (nothing), and a "{H\" never closed (text).
  const std::string line = "あ{H\\O}注\\E}［{O\\E}本文］{h\\L\\E}い{H\\Z\\E}う{H\\K}赤";
  const std::string shown = "あ［{O\\E}本文］{h\\L\\E}いう{H\\K}赤";  // 25 characters
  WriteText("broken.txt", line + "\n");
  WriteStyle("H", [](TInfo& s) { s.Direction = kDirectionHorizontal; });
  auto book = Open("H", 1600, 300, "broken.txt");
  ASSERT_EQ(book->DisplayLines.Count(), 1);
  const std::string text = book->DisplayLines.Item(0)->Text;
  ASSERT_EQ(text, Utf8ToCp932(line));
  EXPECT_EQ(VisibleText(text), Utf8ToCp932(shown));

  // Positions: 25 characters.
  EXPECT_EQ(VisibleCharCount(text), 25);

  // Search: the text between the tags is found where positions count it;
  // the note and the unknown span are found nowhere.
  const auto at = [&](const std::string& what) {
    const auto m = book->FindMatch(Utf8ToCp932(what), {0, 0}, kFindDown | kFindMatchCase);
    return m ? m->Start.Offset : -1;
  };
  EXPECT_EQ(at("{O\\E}本文"), 2);
  EXPECT_EQ(at("{h\\L\\E}い"), 10);
  EXPECT_EQ(at("いう"), 17);
  EXPECT_EQ(at("{H\\K}赤"), 19);
  EXPECT_EQ(at("注"), -1);
  EXPECT_EQ(at("Z"), -1);

  // Drawing: exactly the shown text, no side note, and the cells run on
  // as the measure counts them: 8 full-width characters, 17 half-width.
  const TPageRecorder rec = Record(*book, 0);
  EXPECT_EQ(rec.TextOf(TDrawKind::Text, 0), Utf8ToCp932(shown));
  EXPECT_TRUE(rec.Of(TDrawKind::Note).empty());
  const auto runs = rec.Of(TDrawKind::Text, 0);
  ASSERT_FALSE(runs.empty());
  const TInfo& s = book->Style;
  const int f = s.FontPixels(), half = (f + 1) / 2, b = s.BetweenChar;
  const int width = 8 * f + 17 * half + 24 * b;
  EXPECT_EQ(runs.back().Box.Right - runs.front().Box.Left, width);

  // Measure: that width is exactly one line; a pixel less sends "赤" on.
  TBreakRules rules = BreakRulesOf(s);
  rules.LineLength = width;
  EXPECT_EQ(TLineBreaker(rules).NextBreak(text, 0, 0), text.size());
  rules.LineLength = width - 1;
  EXPECT_EQ(TLineBreaker(rules).NextBreak(text, 0, 0), text.size() - 2);
}

}  // namespace
}  // namespace rpv::testing
