// Characters the font's own face lacks: 𠮷 (JIS X 0213 and beyond), emoji,
// a script the Japanese faces do not cover. Each is set in another installed
// face that has it (fontconfig, Japanese faces first), at the font's size,
// so the page shows the character instead of the missing-glyph box. The
// choice is kept per character for the life of the font.
#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb-ft.h>
#include <hb.h>

#include "platform/Font.h"

namespace rpv {
namespace {

// A page never needs many; a hostile text cannot open faces without end.
constexpr size_t kMaxFallbackFaces = 8;

}  // namespace

FT_FaceRec_* TFont::FaceAt(uint16_t face) const {
  return face == 0 || face > fallbacks_.size() ? face_.get() : fallbacks_[face - 1u].Face.get();
}

hb_font_t* TFont::ShaperAt(uint16_t face) const {
  return face == 0 || face > fallbacks_.size() ? hbFont_.get() : fallbacks_[face - 1u].Shaper.get();
}

uint16_t TFont::FaceFor(char32_t cp) {
  if (!face_ || cp < 0x80 || FT_Get_Char_Index(face_.get(), cp) != 0) return 0;
  if (const auto it = faceOf_.find(cp); it != faceOf_.end()) return it->second;
  uint16_t chosen = 0;
  const TResolvedFace resolved = ResolveFaceWithChar(cp, desc_.Weight >= 600, desc_.Italic);
  if (!resolved.File.empty()) {
    const std::string key = resolved.File + "#" + std::to_string(resolved.Index);
    for (size_t k = 0; k < fallbackFiles_.size() && chosen == 0; ++k)
      if (fallbackFiles_[k] == key) chosen = static_cast<uint16_t>(k + 1);
    FT_Face face = nullptr;
    if (chosen == 0 && fallbacks_.size() < kMaxFallbackFaces &&
        FT_New_Face(library_, resolved.File.c_str(), resolved.Index, &face) == 0) {
      FT_Select_Charmap(face, FT_ENCODING_UNICODE);
      FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(ppem26_), 72, 72);
      TFallbackFace fallback;
      fallback.Face.reset(face);
      fallback.Shaper.reset(hb_ft_font_create_referenced(face));
      fallbacks_.push_back(std::move(fallback));
      fallbackFiles_.push_back(key);
      chosen = static_cast<uint16_t>(fallbacks_.size());
    }
  }
  faceOf_.emplace(cp, chosen);
  return chosen;
}

}  // namespace rpv
