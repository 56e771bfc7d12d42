// Every page of two real books recorded through the page device, vertical
// and horizontal in two columns at two sizes: each reading stands beside its
// base, in the gap on its side and over no character, overhangs only kana
// next to its base and by one ruby character at most, overprints no other
// reading or side note and stays on its base's line; the footer counts
// pages.
#include <algorithm>
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
int AlongEnd(const TRect& r, bool vertical) { return vertical ? r.Bottom : r.Right; }

// A CP932 hiragana, katakana or full-width symbol other than 々 〆 〇.
bool IsKana(const std::string& c) {
  if (c.size() != 2) return false;
  const auto a = static_cast<unsigned char>(c[0]);
  const auto b = static_cast<unsigned char>(c[1]);
  if (a == 0x81) return b >= 0x40 && (b < 0x58 || b > 0x5A);
  return (a == 0x82 && b >= 0x9F && b <= 0xF1) || (a == 0x83 && b >= 0x40 && b <= 0x96);
}

TEST_F(CorpusPageTest, ReadingsStandBesideTheirBasesAndFootersCountPages) {
  const std::string corpus = RPV_SOURCE_DIR "/../shared/corpus/";
  if (!ReadWholeFile(corpus + "bocchan.sjis.txt"))
    GTEST_SKIP() << "../shared/corpus is absent: no real book to record";
  for (const char* name : {"bocchan.sjis.txt", "aozora_annotations.sjis.txt"})
    for (const bool vertical : {true, false})
      for (const auto& [width, height] : {std::pair{1024, 768}, std::pair{1920, 1080}}) {
    SCOPED_TRACE(std::string(name) + (vertical ? " vertical " : " horizontal ") + std::to_string(width));
    const auto text = ReadWholeFile(corpus + name);
    ASSERT_TRUE(text.has_value());
    WriteBytes("book.txt", *text);
    WriteStyle("S", [&](TInfo& s) {
      if (!vertical) { s.Direction = 0; s.FontName = "MS"; s.AntiAliasing = 2; }
      s.ColumnCount = 2;
      s.ColumnSpace = 20;
      s.bytFooter = 2;
      s.strFooter = "%p/%P";
    });
    auto book = Open("S", width, height, "book.txt");
    const int rp = book->Style.RubyPixels();
    ASSERT_GT(book->PageCount, 1);
    int readings = 0;
    for (int page = 0; page < book->PageCount; ++page) {
      SCOPED_TRACE("page " + std::to_string(page + 1));
      const TPageRecorder rec = Record(*book, page * book->LinesPerPage());
      const auto foot = rec.Of(TDrawKind::Footer);
      ASSERT_EQ(foot.size(), 1u);
      EXPECT_EQ(foot[0].Text, std::to_string(page + 1) + "/" + std::to_string(book->PageCount));
      const auto characters = rec.Of(TDrawKind::Text);
      auto sides = rec.Of(TDrawKind::Ruby);
      const auto notes = rec.Of(TDrawKind::Note);
      sides.insert(sides.end(), notes.begin(), notes.end());
      for (size_t a = 0; a < sides.size(); ++a) {
        for (size_t b = a + 1; b < sides.size(); ++b) {
          EXPECT_TRUE(!Overlap(sides[a].Box, sides[b].Box))
              << Cp932ToUtf8(sides[a].Text) << " over " << Cp932ToUtf8(sides[b].Text);
        }
      }
      for (const TDrawRecord& r : rec.Of(TDrawKind::Ruby)) {
        SCOPED_TRACE(Cp932ToUtf8(r.Base) + " / " + Cp932ToUtf8(r.Text));
        ++readings;
        // Never at the head of the next line; beside a neighbour of its base
        // only when that is a kana or symbol, and by one ruby character at
        // most.
        ASSERT_FALSE(r.Continued);
        for (const TDrawRecord& t : rec.Of(TDrawKind::Text, r.Line)) {
          const int over = std::min(AlongEnd(t.Box, vertical), AlongEnd(r.Box, vertical)) -
                           std::max(AlongStart(t.Box, vertical), AlongStart(r.Box, vertical));
          const bool base = AlongStart(t.Box, vertical) >= AlongStart(r.BaseBox, vertical) &&
                            AlongEnd(t.Box, vertical) <= AlongEnd(r.BaseBox, vertical);
          if (over <= 0 || base) continue;
          EXPECT_TRUE(IsKana(t.Text)) << "over " << Cp932ToUtf8(t.Text);
          EXPECT_LE(over, rp) << "over " << Cp932ToUtf8(t.Text);
        }
        for (const TDrawRecord& t : characters) {
          ASSERT_FALSE(Overlap(r.Box, t.Box)) << "over " << Cp932ToUtf8(t.Text) << " of line " << t.Line;
        }
        // The edge of its base's cells on the ruby side (a base set larger
        // or smaller than the body stands out or in with its reading).
        std::optional<int> edge;
        for (const TDrawRecord& t : rec.Of(TDrawKind::Text, r.Line)) {
          const bool inBase = AlongStart(t.Box, vertical) >= AlongStart(r.BaseBox, vertical) &&
                              AlongEnd(t.Box, vertical) <= AlongEnd(r.BaseBox, vertical);
          if (inBase && t.Role == TFontRole::Body && t.Orientation != TOrientation::Turned)
            edge = vertical ? t.Box.Right : t.Box.Top;
        }
        ASSERT_TRUE(edge.has_value());
        // A line beside the text on the ruby side puts the reading beyond it.
        int beyond = 0;
        for (const TDrawRecord& l : rec.Of(TDrawKind::Sideline, r.Line)) {
          if (vertical ? l.Box.Left >= *edge - 1 : l.Box.Bottom <= *edge + 1)
            beyond = std::max(beyond, vertical ? l.Box.Right - *edge : *edge - l.Box.Top);
        }
        EXPECT_EQ(vertical ? r.Box.Left : r.Box.Bottom, vertical ? *edge + beyond : *edge - beyond);
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
    EXPECT_GT(readings, 100);
  }
}

}  // namespace
}  // namespace rpv::testing
