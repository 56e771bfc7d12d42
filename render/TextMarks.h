// Where the marks that follow a run of text stand: side lines beside it and
// rules around it (one piece per display line the run covers), emphasis
// marks one per character, and the small kanbun marks tied to one
// character's cell. The column renderer says what
// is marked and where the cells are; these functions turn that into the
// page device's strokes and reference points, in page pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/FontEngine.h"
#include "render/PageDevice.h"

namespace rpv {

// The cells of text on one line: along the line [From, To), across it
// [Lo, Hi) (x in vertical writing, y in horizontal).
struct TCellSpan {
  int32_t From = 0;
  int32_t To = 0;
  int32_t Lo = 0;
  int32_t Hi = 0;
  // Widens the span across to hold cells [lo, hi).
  void Cover(int32_t lo, int32_t hi) {
    if (lo < Lo) Lo = lo;
    if (hi > Hi) Hi = hi;
  }
};

// A side line or box that is open: what it looks like and the part of the
// current line it has covered so far.
struct TOpenMark {
  bool Open = false;
  char Side = 'R';  // side lines: 'R' right / below, 'L' left / above
  TStroke Stroke = TStroke::Solid;
  uint32_t Colour = 0;
  TCellSpan Span;
};

// The stroke of a side-line kind letter ('S', 'D', 'C', 'B', 'W').
TStroke StrokeOf(char kind);

// The pen width and the band a side line takes, for a body font of
// fontPixels: they grow with the text.
int StrokeThickness(int32_t fontPixels);
int SidelineBand(int32_t fontPixels);

// The run of a side line or box over `span` of display line `line`.
TStrokeRun SidelineRun(const TOpenMark& mark, bool vertical, int32_t fontPixels, int32_t line);
TStrokeRun BoxRun(const TOpenMark& mark, bool vertical, int32_t fontPixels, int32_t line);

// The top-left corner (horizontal writing) or top-right corner (vertical) of
// a kanbun mark `advance` long and `cell` thick, in the ruby font, tied to the
// character whose cells are `ch`: a kaeriten at its lower left in vertical
// writing (left of the cell, ending with it), below its end in horizontal;
// okurigana at the lower right in vertical, above its end in horizontal.
struct TPoint32 {
  int32_t X = 0;
  int32_t Y = 0;
};
TPoint32 KanbunMarkAt(const TCellSpan& ch, bool vertical, bool kaeriten, int32_t advance,
                      int32_t cell);

// The width of text in the font `desc`, made smaller (desc's height changed)
// until the text is no wider than `room`; both at drawing scale.
int ShrinkToFit(TFontEngine& fonts, TFontDesc& desc, std::string_view text, int room);

// A ruby group whose reading is one mark repeated once for each character of
// its base, two or more (emphasis marks): each mark stands beside its own
// character rather than the reading centred on the whole base.
bool IsMarkPerCharacter(std::string_view reading, std::string_view base);

}  // namespace rpv
