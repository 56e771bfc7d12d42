#include "platform/Font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include <hb-ft.h>
#include <hb.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace rpv {
namespace {

// Large enough for any page a screen can show at double scale; a hand-edited
// style cannot make the rasteriser allocate gigabytes.
constexpr int kMaxCellHeight = 2048;
constexpr int kDefaultCellHeight = 16;

}  // namespace

int NormaliseEscapement(int escapement) {
  int e = escapement % 3600;
  if (e < 0) e += 3600;
  return ((e + 450) / 900 % 4) * 900;
}

void TFont::FaceDeleter::operator()(FT_FaceRec_* face) const { FT_Done_Face(face); }
void TFont::HbFontDeleter::operator()(hb_font_t* font) const { hb_font_destroy(font); }

TFont::TFont(FT_LibraryRec_* library, const TFontDesc& desc, const TResolvedFace& resolved)
    : desc_(desc), escapement_(NormaliseEscapement(desc.Escapement)), family_(resolved.Family),
      library_(library) {
  StripVerticalMark(desc.FaceName, &vertical_);
  // A negative height asks for the character (em) height, as a Windows font
  // description does; it becomes a cell height once the face is known.
  const bool emHeight = desc.Height < 0;
  const int requested = desc.Height == 0 ? kDefaultCellHeight
                                          : std::min(std::abs(desc.Height), kMaxCellHeight);
  cellHeight_ = requested;
  ascent_ = (requested * 7 + 4) / 8;
  strikeThickness_ = std::max(1, requested / 16);
  strikeTop_ = ascent_ - requested * 3 / 10;

  FT_Face face = nullptr;
  if (library == nullptr || resolved.File.empty() ||
      FT_New_Face(library, resolved.File.c_str(), resolved.Index, &face) != 0)
    return;
  face_.reset(face);
  FT_Select_Charmap(face, FT_ENCODING_UNICODE);

  const double upem = face->units_per_EM > 0 ? face->units_per_EM : 1000;
  double asc = face->ascender;
  double dsc = -static_cast<double>(face->descender);
  if (asc + dsc <= 0) {
    asc = upem * 0.88;
    dsc = upem * 0.12;
  }
  if (emHeight) cellHeight_ = std::clamp(
      static_cast<int>(std::lround(requested * (asc + dsc) / upem)), 1, kMaxCellHeight);
  // The whole cell, ascent plus descent, is the requested height.
  const double ppem = cellHeight_ * upem / (asc + dsc);
  ppem26_ = std::lround(ppem * 64);
  FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(ppem26_), 72, 72);
  ascent_ = static_cast<int>(std::lround(cellHeight_ * asc / (asc + dsc)));
  const double pxPerUnit = ppem / upem;

  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const bool faceBold = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0 ||
                        (os2 != nullptr && os2->version != 0xFFFF && os2->usWeightClass >= 600);
  const bool faceItalic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
  syntheticBold_ = desc.Weight >= 600 && !faceBold;
  syntheticItalic_ = desc.Italic && !faceItalic;

  if (os2 != nullptr && os2->version != 0xFFFF && os2->yStrikeoutSize > 0 &&
      os2->yStrikeoutPosition > 0) {
    strikeThickness_ = std::max(1, static_cast<int>(std::lround(os2->yStrikeoutSize * pxPerUnit)));
    strikeTop_ = ascent_ - static_cast<int>(std::lround(os2->yStrikeoutPosition * pxPerUnit));
  } else {
    strikeThickness_ = std::max(1, cellHeight_ / 16);
    strikeTop_ = ascent_ - static_cast<int>(std::lround(asc * 0.3 * pxPerUnit));
  }
  strikeTop_ = std::clamp(strikeTop_, 0, std::max(0, cellHeight_ - strikeThickness_));

  hbFont_.reset(hb_ft_font_create_referenced(face));
}

TFont::~TFont() = default;

const TGlyphImage& TFont::Glyph(uint32_t glyph, bool smooth, uint16_t face) {
  auto& cache = smooth ? grey_ : mono_;
  const uint64_t key = uint64_t{face} << 32 | glyph;
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  return cache.emplace(key, Rasterise(glyph, smooth, face)).first->second;
}

TGlyphImage TFont::Rasterise(uint32_t glyph, bool smooth, uint16_t faceIndex) {
  ++rasterised_;
  TGlyphImage image;
  FT_Face face = FaceAt(faceIndex);
  if (face == nullptr) return image;
  const FT_Int32 flags = FT_LOAD_NO_BITMAP | (smooth ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO);
  if (FT_Load_Glyph(face, glyph, flags) != 0) return image;
  FT_GlyphSlot slot = face->glyph;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (syntheticItalic_) FT_GlyphSlot_Oblique(slot);
    if (syntheticBold_) FT_GlyphSlot_Embolden(slot);
  }
  if (FT_Render_Glyph(slot, smooth ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0)
    return image;
  const FT_Bitmap& bm = slot->bitmap;
  image.Left = slot->bitmap_left;
  image.Top = slot->bitmap_top;
  image.Width = static_cast<int>(bm.width);
  image.Height = static_cast<int>(bm.rows);
  image.Binary = bm.pixel_mode == FT_PIXEL_MODE_MONO;
  image.Coverage.assign(static_cast<size_t>(image.Width) * image.Height, 0);
  for (int r = 0; r < image.Height; ++r) {
    const unsigned char* src =
        bm.pitch >= 0 ? bm.buffer + static_cast<ptrdiff_t>(r) * bm.pitch
                      : bm.buffer + static_cast<ptrdiff_t>(image.Height - 1 - r) * -bm.pitch;
    uint8_t* dst = image.Coverage.data() + static_cast<size_t>(r) * image.Width;
    if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
      for (int c = 0; c < image.Width; ++c)
        dst[c] = (src[c >> 3] & (0x80 >> (c & 7))) ? 255 : 0;
    } else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
      const int levels = bm.num_grays > 1 ? bm.num_grays - 1 : 255;
      if (levels == 255) {
        std::memcpy(dst, src, static_cast<size_t>(image.Width));
      } else {
        for (int c = 0; c < image.Width; ++c) dst[c] = static_cast<uint8_t>(src[c] * 255 / levels);
      }
    }
  }
  return image;
}

}  // namespace rpv
