// The drawing surface over a 24-bit bitmap, the stand-in for a GDI device
// context: a current font, a text colour, a brush that is solid (opaque text
// background, filled rectangles) or clear, whether glyph edges are smoothed,
// text output at a reference point, text extent and unscaled pictures.
// Everything is clipped to the bitmap.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/FontDesc.h"

namespace rpv {

class TFontEngine;

enum class TBrushStyle { Solid, Clear };

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  bool operator==(const TRect&) const = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
};

// Colour values are Windows colours: red in the low byte.
constexpr uint32_t RGBColour(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) |
         (static_cast<uint32_t>(b) << 16);
}

class TCanvas {
 public:
  // Neither the bitmap nor the engine is owned; both must outlive the canvas.
  TCanvas(TBitmap24& bitmap, TFontEngine& fonts) : bitmap_(&bitmap), fonts_(&fonts) {}

  TBitmap24& Bitmap() { return *bitmap_; }
  const TBitmap24& Bitmap() const { return *bitmap_; }
  TFontEngine& Fonts() { return *fonts_; }

  TFontDesc Font;
  uint32_t FontColor = 0;
  uint32_t BrushColor = RGBColour(255, 255, 255);
  TBrushStyle BrushStyle = TBrushStyle::Solid;
  // Grey-scale glyph edges; off draws glyphs black and white. A property of
  // what is drawn, as the font is: two documents never share a switch.
  bool Smooth = true;

  // Fills [Left, Right) x [Top, Bottom) with the brush colour; a clear brush
  // fills nothing.
  void FillRect(const TRect& rect);

  // Draws CP932 text with its reference point, the top-left corner of the
  // text cell in the text's own frame, at (x, y). Escapement 0 runs right;
  // 1800 runs left, upside down, the cell left of x and above y; 2700 runs
  // down with the cell left of x; 900 runs up with the cell right of x. A
  // solid brush first fills the text cell, as an opaque background does.
  void TextOut(int x, int y, std::string_view text);

  // Advance along the text and the cell height, in pixels.
  TSize TextExtent(std::string_view text);
  int TextWidth(std::string_view text) { return TextExtent(text).cx; }
  int TextHeight(std::string_view text) { return TextExtent(text).cy; }

  // Copies a picture unscaled with its top-left corner at (x, y).
  void Draw(int x, int y, const TBitmap24& picture);

 private:
  TBitmap24* bitmap_;
  TFontEngine* fonts_;
};

// An 8-bit picture of text coverage, 0 to 255, rows top first: exactly what
// white text drawn over black with an opaque brush leaves in each channel of
// a 24-bit bitmap, in a third of the memory. The supersampling text tool
// draws into one.
struct TCoverageMap {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Pixels;

  // Sizes are clamped at 0; contents become 0.
  void SetSize(int width, int height) {
    Width = width > 0 ? width : 0;
    Height = height > 0 ? height : 0;
    Pixels.assign(static_cast<size_t>(Width) * static_cast<size_t>(Height), 0);
  }
  bool Empty() const { return Width == 0 || Height == 0; }
  uint8_t* Row(int y) { return Pixels.data() + static_cast<size_t>(Width) * static_cast<size_t>(y); }
  const uint8_t* Row(int y) const {
    return Pixels.data() + static_cast<size_t>(Width) * static_cast<size_t>(y);
  }
};

// Draws text as TCanvas::TextOut would in white over an opaque black brush,
// into a coverage map, with smoothed or black-and-white glyphs. Returns the rectangle that holds all of the text's
// ink (empty when there is none), so a reader can skip the rest.
TRect DrawTextCoverage(TFontEngine& fonts, const TFontDesc& font, bool smooth, int x, int y,
                       std::string_view text, TCoverageMap& map);

}  // namespace rpv
