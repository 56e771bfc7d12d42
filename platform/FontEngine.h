// Owns the FreeType library and every font made from a font description, so
// each description is resolved, opened and rasterised once. Canvases share
// one engine; it is used from one thread.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/FaceResolver.h"
#include "platform/Font.h"
#include "platform/FontDesc.h"

namespace rpv {

struct TFontDescHash {
  size_t operator()(const TFontDesc& d) const;
};

class TFontEngine {
 public:
  TFontEngine();
  ~TFontEngine();
  TFontEngine(const TFontEngine&) = delete;
  TFontEngine& operator=(const TFontEngine&) = delete;

  // The font for a description. Strike-out is drawn by the canvas and does
  // not make a font of its own. The reference is valid until the next call.
  TFont& Font(const TFontDesc& desc);

  // Glyph images rasterised by all fonts so far.
  size_t RasterisedCount() const;
  size_t FontCount() const { return fonts_.size(); }

 private:
  struct LibraryDeleter {
    void operator()(FT_LibraryRec_* library) const;
  };
  const TResolvedFace& Resolve(std::string_view face, bool bold, bool italic);

  // Declared first so that it is destroyed after the fonts that use it.
  std::unique_ptr<FT_LibraryRec_, LibraryDeleter> library_;
  std::unordered_map<std::string, TResolvedFace> faces_;
  std::unordered_map<TFontDesc, std::unique_ptr<TFont>, TFontDescHash> fonts_;
  TFont* last_ = nullptr;
  size_t retiredRasterised_ = 0;
};

}  // namespace rpv
