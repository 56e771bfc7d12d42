// Shaping: CP932 text to glyphs placed in the text's own frame. A vertical
// ("@") face sets full-width (double-byte) characters turned a quarter
// counter-clockwise with the face's vertical metrics, and with its vertical
// forms when the text runs downward; single-byte characters (and Latin
// letters of the user-defined area, IsSidewaysUserChar) keep their
// horizontal glyphs, so they lie on their side in vertical text.
#include <hb.h>

#include <memory>

#include "platform/Codepage.h"
#include "platform/Font.h"

namespace rpv {
namespace {

// Layouts of strings up to this length are kept: the renderer draws and
// measures one character at a time, so these are what a page asks for.
constexpr size_t kCachedLength = 32;
constexpr size_t kMaxCachedRuns = 8192;

struct BufferDeleter {
  void operator()(hb_buffer_t* b) const { hb_buffer_destroy(b); }
};

// 26.6 fixed point to whole pixels, halves away from zero.
int Round26(hb_position_t v) { return v >= 0 ? (v + 32) >> 6 : -((-v + 32) >> 6); }

hb_feature_t Feature(const char* tag, bool on) {
  hb_feature_t f;
  f.tag = hb_tag_from_string(tag, -1);
  f.value = on ? 1 : 0;
  f.start = HB_FEATURE_GLOBAL_START;
  f.end = HB_FEATURE_GLOBAL_END;
  return f;
}

}  // namespace

const TTextRun& TFont::Layout(std::string_view cp932) {
  if (cp932.size() > kCachedLength) {
    scratch_ = Shape(cp932);
    return scratch_;
  }
  auto it = runs_.find(cp932);
  if (it != runs_.end()) return it->second;
  if (runs_.size() >= kMaxCachedRuns) runs_.clear();
  return runs_.emplace(std::string(cp932), Shape(cp932)).first->second;
}

TTextRun TFont::FallbackRun(std::string_view cp932) const {
  // Without any font file the text still takes its room, so layouts that
  // measure it stay sane.
  TTextRun run;
  for (size_t i = 0; i < cp932.size();) {
    const size_t len = CharLen(cp932, i);
    run.Advance += len == 2 ? cellHeight_ : (cellHeight_ + 1) / 2;
    i += len;
  }
  return run;
}

TTextRun TFont::Shape(std::string_view cp932) {
  // Beyond this the run's length in pixels could no longer be counted; no
  // line of a page comes anywhere near it.
  constexpr size_t kMaxBytes = size_t{1} << 18;
  if (cp932.size() > kMaxBytes) cp932 = cp932.substr(0, kMaxBytes);
  if (!hbFont_) return FallbackRun(cp932);
  TTextRun run;
  std::u32string segment;
  bool segmentRotated = false;
  uint16_t segmentFace = 0;
  for (size_t i = 0; i < cp932.size();) {
    const size_t len = CharLen(cp932, i);
    std::u32string cps = Cp932ToUtf32(cp932.substr(i, len));
    if (cps.empty()) cps.assign(1, U'?');
    const bool rotated = vertical_ && len == 2 && !IsSidewaysUserChar(cp932.substr(i, len));
    const uint16_t face = FaceFor(cps[0]);
    if (!segment.empty() && (rotated != segmentRotated || face != segmentFace)) {
      ShapeSegment(segment, segmentRotated, segmentFace, run);
      segment.clear();
    }
    segmentRotated = rotated;
    segmentFace = face;
    segment += cps;
    i += len;
  }
  if (!segment.empty()) ShapeSegment(segment, segmentRotated, segmentFace, run);
  return run;
}

void TFont::ShapeSegment(const std::u32string& text, bool rotated, uint16_t face, TTextRun& run) const {
  std::unique_ptr<hb_buffer_t, BufferDeleter> buffer(hb_buffer_create());
  hb_buffer_add_utf32(buffer.get(), reinterpret_cast<const uint32_t*>(text.data()),
                      static_cast<int>(text.size()), 0, static_cast<int>(text.size()));
  hb_buffer_guess_segment_properties(buffer.get());
  hb_buffer_set_direction(buffer.get(), rotated ? HB_DIRECTION_TTB : HB_DIRECTION_LTR);
  hb_buffer_set_language(buffer.get(), hb_language_from_string("ja", -1));
  // Text is set character by character as the platform's text call does:
  // no kerning and no ligatures, so a string is as wide as its characters.
  // Vertical forms belong to text that runs downward; the turned font uses
  // the plain glyphs, which it turns as a whole.
  const bool verticalForms = escapement_ == 2700;
  const hb_feature_t features[] = {
      Feature("kern", false), Feature("liga", false), Feature("clig", false),
      Feature("vert", rotated && verticalForms), Feature("vrt2", rotated && verticalForms),
      Feature("vkrn", false), Feature("vpal", false), Feature("valt", false)};
  hb_shape(ShaperAt(face), buffer.get(), features, sizeof features / sizeof features[0]);

  unsigned count = 0;
  const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer.get(), &count);
  const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer.get(), &count);
  int pen = run.Advance;
  for (unsigned i = 0; i < count; ++i) {
    TPlacedGlyph g;
    g.Glyph = infos[i].codepoint;
    g.Rotated = rotated;
    g.Face = face;
    if (!rotated) {
      g.U = pen + Round26(pos[i].x_offset);
      g.V = ascent_ - Round26(pos[i].y_offset);
      pen += Round26(pos[i].x_advance);
    } else {
      // HarfBuzz places the glyph origin below and left of the top-centre
      // of its vertical cell; the cell's centre line is half the cell
      // height across.
      g.U = pen - Round26(pos[i].y_offset);
      g.V = Round26(cellHeight_ * 32 - pos[i].x_offset);
      pen -= Round26(pos[i].y_advance);
    }
    run.Glyphs.push_back(g);
  }
  run.Advance = pen;
}

}  // namespace rpv
