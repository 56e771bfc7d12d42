// The seam between the page composer and the surface a page is drawn on.
// The column renderer, the header and footer and the page composer decide
// what goes where and say it through IPageDevice: a fill, a tiled
// background, a picture, a glyph run (text at a reference point with its
// orientation and font), a reading or side note beside its base, a rule, a
// side line or box, the find mark and a link's rectangle. In the program the canvas over the page
// bitmap stands behind it (render/CanvasDevice.h); tests put a recording in
// its place and ask where each thing went. Every position is in page pixels;
// text is CP932; nothing here measures text (the composer does, with the
// document's fonts, before it draws).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/FontDesc.h"

namespace rpv {

// How a run's text stands on the page, with where its reference point is.
enum class TOrientation {
  Horizontal,  // runs right; the cells lie right of x and below y
  Vertical,    // runs down in the vertical face (full-width characters
               // upright, half-width ones on their side); cells left of x
  Turned,      // runs left upside down (the turned font); cells left of x
               // and above y
};

// Which of the document's fonts a run is drawn in.
enum class TFontRole { Body, Ruby, Upright, Turned };

// What a drawing is, for whoever records it.
enum class TDrawKind {
  Fill,         // the page colour
  Background,   // a picture tiled over the page
  Picture,      // a picture of the text
  Text,         // the characters of a line
  Header,
  Footer,
  Message,      // the page without a document
  Voiced,       // a free-standing voiced mark
  PictureName,  // "[name]" of a picture that cannot be shown
  Ruby,
  LeftRuby,     // a reading on the other side (left, or below), as notes stand
  Note,         // a side note, opposite the ruby
  Kaeriten,     // a kanbun return mark at the lower left of its character
  Okurigana,    // kanbun kana at the lower right of its character
  Sideline,     // a line beside a piece of text
  Box,          // a rule around a piece of text
  Rule,
  Mark,         // the find mark, inverted
  Link,         // a link's rectangle on one line (draws nothing)
};

// The font a run is drawn with. The description is at drawing scale:
// Supersampling times the page size.
struct TRunFont {
  TFontRole Role = TFontRole::Body;
  TFontDesc Desc;
  uint32_t Colour = 0;     // Windows colour, red in the low byte
  int Supersampling = 1;   // 2: drawn at twice the size and reduced 2 x 2
  bool Smooth = true;      // grey-scale glyph edges; off: black and white
};

// One text call.
struct TGlyphRun {
  TDrawKind Kind = TDrawKind::Text;
  std::string_view Text;
  int X = 0;  // the reference point, as TOrientation places it
  int Y = 0;
  TOrientation Orientation = TOrientation::Horizontal;
  const TRunFont* Font = nullptr;  // never null
  TRect Box;                       // its cells: advance along, cell height across
  int32_t Line = -1;               // display line; -1 for the page's own text
};

// A reading beside its base, or a side note, in the ruby font. Glyphs are
// as drawn: one a character beside the base line, then what did not fit at
// the head of the next line (its Line is one more).
struct TSideRun {
  TDrawKind Kind = TDrawKind::Ruby;  // or Note
  std::string_view Base;             // the base's visible text; empty for a note
  std::string_view Reading;          // the whole reading or note
  TRect BaseBox;                     // the base's cells as measured to place it
  int32_t Line = -1;                 // the base's display line
  std::span<const TGlyphRun> Glyphs;
};

// How a side line is stroked.
enum class TStroke { Solid, Double, Chain, Broken, Wavy };

// A line beside a piece of text on one display line, or a rule around it.
// Sideline: Box is the band the line is drawn in, running along the text
// (down the page in vertical writing, else right), Thickness across it; the
// stroke lies inside the band. Box: the rule runs along the rectangle's
// edges, Thickness inside it.
struct TStrokeRun {
  TDrawKind Kind = TDrawKind::Sideline;  // or Box
  TStroke Stroke = TStroke::Solid;
  TRect Box;
  bool Vertical = false;
  int Thickness = 1;
  uint32_t Colour = 0;
  int32_t Line = -1;
};

// A picture unscaled with its top-left corner at (X, Y), drawn only inside
// Clip.
struct TPictureRun {
  TDrawKind Kind = TDrawKind::Picture;
  const TBitmap24* Bitmap = nullptr;  // never null
  std::string_view Path;
  int X = 0;
  int Y = 0;
  TRect Clip;
  int32_t Line = -1;
};

class IPageDevice {
 public:
  virtual ~IPageDevice() = default;
  // [Left, Right) x [Top, Bottom) in one colour.
  virtual void Fill(const TRect& rect, uint32_t colour) = 0;
  // The picture repeated from the rectangle's top-left corner over it.
  virtual void Tile(const TRect& rect, const TBitmap24& tile, std::string_view path) = 0;
  virtual void Picture(const TPictureRun& picture) = 0;
  virtual void Glyphs(const TGlyphRun& run) = 0;
  virtual void Side(const TSideRun& run) = 0;
  virtual void Stroke(const TStrokeRun& run) = 0;
  // The unit `count` times, `step` pixels apart along its orientation.
  virtual void Rule(const TGlyphRun& unit, int step, int count) = 0;
  // The find mark over the cells of the rectangle.
  virtual void Invert(const TRect& rect, int32_t line) = 0;
  // Where a link can be clicked (the composer also adds it to the links).
  virtual void Link(const TRect& rect, std::string_view target, int32_t line) = 0;
};

// The cells of a run: advance along it and cell height across, placed as
// the orientation places them from the reference point.
inline TRect RunBox(int x, int y, TOrientation o, int advance, int cell) {
  switch (o) {
    case TOrientation::Vertical: return {x - cell, y, x, y + advance};
    case TOrientation::Turned: return {x - advance, y - cell, x, y};
    case TOrientation::Horizontal: break;
  }
  return {x, y, x + advance, y + cell};
}

}  // namespace rpv
