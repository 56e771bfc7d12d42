// Every page of a real book recorded through the page device, vertical and
// horizontal in two columns: each reading stands beside its base, in the gap
// on its side and over no character, and the footer counts pages.
#include <optional>

#include "platform/Codepage.h"
#include "tests/render/PageTestUtil.h"

namespace rpv::testing {
namespace {

using CorpusPageTest = PageTest;

// Along the line: the span's start and its doubled centre.
int AlongStart(const TRect& r, bool vertical) { return vertical ? r.Top : r.Left; }
int AlongLength(const TRect& r, bool vertical) { return vertical ? r.Bottom - r.Top : r.Right - r.Left; }
int AlongCentre2(const TRect& r, bool vertical) { return vertical ? r.Top + r.Bottom : r.Left + r.Right; }

TEST_F(CorpusPageTest, ReadingsStandBesideTheirBasesAndFootersCountPages) {
  const auto text = ReadWholeFile(RPV_SOURCE_DIR "/../shared/corpus/bocchan.sjis.txt");
  if (!text) GTEST_SKIP() << "../shared/corpus is absent: no real book to record";
  WriteBytes("bocchan.txt", *text);
  for (const bool vertical : {true, false}) {
    SCOPED_TRACE(vertical ? "vertical" : "horizontal");
    WriteStyle("S", [&](TInfo& s) {
      if (!vertical) { s.Direction = 0; s.FontName = "MS"; s.AntiAliasing = 2; }
      s.ColumnCount = 2;
      s.ColumnSpace = 20;
      s.bytFooter = 2;
      s.strFooter = "%p/%P";
    });
    auto book = Open("S", 1024, 768, "bocchan.txt");
    const int rp = book->Style.RubyPixels();
    ASSERT_GT(book->PageCount, 40);
    int readings = 0;
    for (int page = 0; page < book->PageCount; ++page) {
      SCOPED_TRACE("page " + std::to_string(page + 1));
      const TPageRecorder rec = Record(*book, page * book->LinesPerPage());
      const auto foot = rec.Of(TDrawKind::Footer);
      ASSERT_EQ(foot.size(), 1u);
      EXPECT_EQ(foot[0].Text, std::to_string(page + 1) + "/" + std::to_string(book->PageCount));
      const auto characters = rec.Of(TDrawKind::Text);
      for (const TDrawRecord& r : rec.Of(TDrawKind::Ruby)) {
        SCOPED_TRACE(Cp932ToUtf8(r.Base) + " / " + Cp932ToUtf8(r.Text));
        ++readings;
        for (const TDrawRecord& t : characters) {
          ASSERT_FALSE(Overlap(r.Box, t.Box)) << "over " << Cp932ToUtf8(t.Text) << " of line " << t.Line;
        }
        // The edge of its line's cells on the ruby side, from the line's
        // ordinary characters.
        std::optional<int> edge;
        for (const TDrawRecord& t : rec.Of(TDrawKind::Text, r.Line)) {
          if (t.Role == TFontRole::Body && t.Orientation != TOrientation::Turned)
            edge = vertical ? t.Box.Right : t.Box.Top;
        }
        ASSERT_TRUE(edge.has_value());
        EXPECT_EQ(vertical ? r.Box.Left : r.Box.Bottom, *edge);
        EXPECT_EQ(vertical ? r.Box.Right - r.Box.Left : r.Box.Bottom - r.Box.Top, rp);
        if (r.Continued) continue;  // at the head of the next line
        // Its base is drawn where it was measured: the base's first
        // character starts the base's cells.
        const std::string first = r.Base.substr(0, CharLen(r.Base, 0));
        bool based = false;
        for (const TDrawRecord& t : rec.Of(TDrawKind::Text, r.Line)) {
          based = based || (t.Text == first && AlongStart(t.Box, vertical) == AlongStart(r.BaseBox, vertical));
        }
        EXPECT_TRUE(based);
        // Centred on a base at least as long, when the whole reading is here.
        if (r.Text == r.Reading && AlongLength(r.Box, vertical) <= AlongLength(r.BaseBox, vertical)) {
          EXPECT_NEAR(AlongCentre2(r.Box, vertical), AlongCentre2(r.BaseBox, vertical), 1);
        }
      }
    }
    EXPECT_GT(readings, 1000);
  }
}

}  // namespace
}  // namespace rpv::testing
