// One font at one size, made from a logical font description: the FreeType
// face scaled so that ascent + descent is exactly the cell height, the
// HarfBuzz font that shapes text in it, synthetic bold and italic where the
// face has no such style, and the cache of rasterised glyphs and of laid-out
// short strings, so a page never rasterises or shapes the same thing twice.
// A character the face lacks (𠮷, an emoji) is set in another installed face
// that has it, at the same size (platform/FontFallback.cpp).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/FaceResolver.h"
#include "platform/FontDesc.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;
struct hb_font_t;

namespace rpv {

// A glyph's coverage, 0 (none) to 255 (full), rows top first. Left and Top
// place its top-left corner relative to the glyph origin (Top upward).
struct TGlyphImage {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  bool Binary = false;  // every value is 0 or 255 (black-and-white rendering)
  std::vector<uint8_t> Coverage;
};

// A glyph placed in the text's own frame: U runs along the text from the
// reference point, V runs across it from the top of the cell toward the
// bottom. A Rotated glyph is a full-width character of a vertical ("@") face,
// turned a quarter counter-clockwise in that frame so that it stands upright
// when the text runs downward.
struct TPlacedGlyph {
  uint32_t Glyph = 0;
  int U = 0;
  int V = 0;
  bool Rotated = false;
  uint16_t Face = 0;  // 0: the font's own face; k: its k-th fallback face
};

struct TTextRun {
  std::vector<TPlacedGlyph> Glyphs;
  int Advance = 0;  // along the text, whole pixels
};

class TFont {
 public:
  TFont(FT_LibraryRec_* library, const TFontDesc& desc, const TResolvedFace& face);
  ~TFont();
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;

  const TFontDesc& Desc() const { return desc_; }
  bool Vertical() const { return vertical_; }
  bool HasFace() const { return face_ != nullptr; }
  const std::string& Family() const { return family_; }
  bool SyntheticBold() const { return syntheticBold_; }
  bool SyntheticItalic() const { return syntheticItalic_; }

  int CellHeight() const { return cellHeight_; }
  int Ascent() const { return ascent_; }
  // The strike-out bar across the cell, as offsets from the cell top.
  int StrikeTop() const { return strikeTop_; }
  int StrikeThickness() const { return strikeThickness_; }

  // Shapes CP932 text. The result stays valid until the next call.
  const TTextRun& Layout(std::string_view cp932);

  // The rasterised glyph of a face (TPlacedGlyph::Face), black-and-white
  // (smooth false) or grey-scale.
  const TGlyphImage& Glyph(uint32_t glyph, bool smooth, uint16_t face = 0);

  // How many glyph images were rasterised so far (every one is cached).
  size_t RasterisedCount() const { return rasterised_; }

 private:
  struct FaceDeleter {
    void operator()(FT_FaceRec_* face) const;
  };
  struct HbFontDeleter {
    void operator()(hb_font_t* font) const;
  };

  // A face that the fallback list holds, with its shaper.
  struct TFallbackFace {
    std::unique_ptr<FT_FaceRec_, FaceDeleter> Face;
    std::unique_ptr<hb_font_t, HbFontDeleter> Shaper;
  };

  TTextRun Shape(std::string_view cp932);
  void ShapeSegment(const std::u32string& text, bool rotated, uint16_t face, TTextRun& run) const;
  TTextRun FallbackRun(std::string_view cp932) const;
  TGlyphImage Rasterise(uint32_t glyph, bool smooth, uint16_t face);
  // The face to set cp in: 0 when the font's own face has it (or no other
  // face does), else 1 + its index in fallbacks_.
  uint16_t FaceFor(char32_t cp);
  FT_FaceRec_* FaceAt(uint16_t face) const;
  hb_font_t* ShaperAt(uint16_t face) const;

  TFontDesc desc_;
  bool vertical_ = false;
  int escapement_ = 0;  // normalised to 0, 900, 1800 or 2700
  std::string family_;
  std::unique_ptr<FT_FaceRec_, FaceDeleter> face_;
  std::unique_ptr<hb_font_t, HbFontDeleter> hbFont_;
  FT_LibraryRec_* library_ = nullptr;
  long ppem26_ = 0;  // the size every face is set at, 26.6 pixels per em
  std::vector<TFallbackFace> fallbacks_;
  std::vector<std::string> fallbackFiles_;  // "file#index" of each fallback
  std::unordered_map<char32_t, uint16_t> faceOf_;
  bool syntheticBold_ = false;
  bool syntheticItalic_ = false;
  int cellHeight_ = 0;
  int ascent_ = 0;
  int strikeTop_ = 0;
  int strikeThickness_ = 1;

  struct StringHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_map<std::string, TTextRun, StringHash, std::equal_to<>> runs_;
  TTextRun scratch_;
  std::unordered_map<uint64_t, TGlyphImage> mono_;
  std::unordered_map<uint64_t, TGlyphImage> grey_;
  size_t rasterised_ = 0;
};

// Escapement folded to the nearest of 0, 900, 1800, 2700.
int NormaliseEscapement(int escapement);

}  // namespace rpv
