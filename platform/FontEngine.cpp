#include "platform/FontEngine.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <functional>

namespace rpv {
namespace {
// A style uses a handful of fonts; this many means descriptions keep
// changing (a long session of style edits), so the oldest are let go.
constexpr size_t kMaxFonts = 64;
}  // namespace

size_t TFontDescHash::operator()(const TFontDesc& d) const {
  size_t h = std::hash<std::string>{}(d.FaceName);
  auto mix = [&h](size_t v) { h ^= v + 0x9E3779B97F4A7C15ULL + (h << 6) + (h >> 2); };
  mix(static_cast<size_t>(d.Height));
  mix(static_cast<size_t>(d.Weight));
  mix(static_cast<size_t>(d.Escapement));
  mix(static_cast<size_t>(d.Italic) | (static_cast<size_t>(d.StrikeOut) << 1));
  return h;
}

void TFontEngine::LibraryDeleter::operator()(FT_LibraryRec_* library) const {
  FT_Done_FreeType(library);
}

TFontEngine::TFontEngine() {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) == 0) library_.reset(library);
}

TFontEngine::~TFontEngine() = default;

const TResolvedFace& TFontEngine::Resolve(std::string_view face, bool bold, bool italic) {
  std::string key(face);
  key += bold ? "\x01" : "\x02";
  key += italic ? "\x01" : "\x02";
  auto it = faces_.find(key);
  if (it != faces_.end()) return it->second;
  return faces_.emplace(std::move(key), ResolveFace(face, bold, italic)).first->second;
}

TFont& TFontEngine::Font(const TFontDesc& requested) {
  if (last_ != nullptr && last_->Desc().Height == requested.Height &&
      last_->Desc().Weight == requested.Weight && last_->Desc().Italic == requested.Italic &&
      last_->Desc().Escapement == requested.Escapement &&
      last_->Desc().FaceName == requested.FaceName)
    return *last_;
  TFontDesc desc = requested;
  desc.StrikeOut = false;
  auto it = fonts_.find(desc);
  if (it == fonts_.end()) {
    if (fonts_.size() >= kMaxFonts) {
      for (const auto& [d, font] : fonts_) retiredRasterised_ += font->RasterisedCount();
      fonts_.clear();
    }
    const std::string_view face = StripVerticalMark(desc.FaceName, nullptr);
    const TResolvedFace& resolved = Resolve(face, desc.Weight >= 600, desc.Italic);
    it = fonts_.emplace(desc, std::make_unique<TFont>(library_.get(), desc, resolved)).first;
  }
  last_ = it->second.get();
  return *last_;
}

size_t TFontEngine::RasterisedCount() const {
  size_t n = retiredRasterised_;
  for (const auto& [d, font] : fonts_) n += font->RasterisedCount();
  return n;
}

}  // namespace rpv
