// Where the layout annotations of an e-text put its lines on the page, in
// both directions: a 字上げ line ends its cells short of the line end, a
// hanging block's continuation stands deeper than its first line, a centred
// line inside a 地付き block is centred, an indented rule ends at the line end.
#include "tests/render/PageTestUtil.h"

namespace rpv::testing {
namespace {

class LayoutAnnotationPageTest : public PageTest {};

TEST_F(LayoutAnnotationPageTest, LinesStartAndEndWhereTheirAnnotationsSay) {
  for (const bool vertical : {true, false}) {
    SCOPED_TRACE(vertical ? "vertical" : "horizontal");
    WriteStyle("S", [&](TInfo& s) {
      if (!vertical) { s.Direction = 0; s.FontName = "MS"; }
    });
    std::string longLine;
    {
      const auto probe = Open("S", 600, 400);
      for (int k = 0; k < probe->Style.LineLength() / probe->Style.FontPixels() + 3; ++k) longLine += "あ";
    }
    WriteText("a.txt", "［＃地から２字上げ］終\n［＃ここから２字下げ、折り返して３字下げ］\n" + longLine +
                           "\n［＃ここで字下げ終わり］\n［＃ここから地付き］\n［＃中央揃え］中\n地\n"
                           "［＃ここで地付き終わり］\n［＃２字下げ］――――――――――――――――――――\n");
    const auto book = Open("S", 600, 400, "a.txt");
    const TInfo& s = book->Style;
    const int fp = s.FontPixels();
    const TPageRecorder rec = Record(*book, 0);
    const int head = vertical ? s.PageMarginTop + s.HeaderHeight() : s.PageMarginLeft;
    const int end = head + s.LineLength();
    auto start = [&](const TDrawRecord& r) { return vertical ? r.Box.Top : r.Box.Left; };
    auto stop = [&](const TDrawRecord& r) { return vertical ? r.Box.Bottom : r.Box.Right; };
    auto first = [&](int line) {
      const auto text = rec.Of(TDrawKind::Text, line);
      EXPECT_FALSE(text.empty()) << "line " << line;
      return text.empty() ? TDrawRecord{} : text.front();
    };
    // 地から２字上げ: flush two cells short of the end.
    EXPECT_EQ(stop(first(0)), end - 2 * fp);
    // The hanging block: two cells in, the continuation three.
    EXPECT_EQ(start(first(1)), head + 2 * fp);
    EXPECT_EQ(start(first(2)), head + 3 * fp);
    // The line's own centring wins over the block's 地付き; the next line
    // is flush with the end.
    EXPECT_NEAR(start(first(3)) - head, end - stop(first(3)), 1);
    EXPECT_EQ(stop(first(4)), end);
    // A rule on an indented line runs from the indent to the line end, not
    // past it.
    const auto rule = rec.Of(TDrawKind::Rule, 5);
    ASSERT_EQ(rule.size(), 1u);
    EXPECT_EQ(start(rule[0]), head + 2 * fp);
    EXPECT_GE(stop(rule[0]), end);
    EXPECT_LT(stop(rule[0]), end + rule[0].Step);
  }
}

}  // namespace
}  // namespace rpv::testing
