#include "render/TextMarks.h"

#include <algorithm>

#include "import/MbScan.h"

namespace rpv {

namespace {

// A rectangle from spans along and across the line.
TRect Along(bool vertical, int32_t a0, int32_t a1, int32_t c0, int32_t c1) {
  return vertical ? TRect{c0, a0, c1, a1} : TRect{a0, c0, a1, c1};
}

}  // namespace

TStroke StrokeOf(char kind) {
  switch (kind) {
    case 'D': return TStroke::Double;
    case 'C': return TStroke::Chain;
    case 'B': return TStroke::Broken;
    case 'W': return TStroke::Wavy;
    default: return TStroke::Solid;
  }
}

int StrokeThickness(int32_t fontPixels) { return std::max(1, (fontPixels + 11) / 22); }

int SidelineBand(int32_t fontPixels) { return std::max(4, fontPixels / 5); }

TStrokeRun SidelineRun(const TOpenMark& mark, bool vertical, int32_t fontPixels, int32_t line) {
  const TCellSpan& s = mark.Span;
  const int band = SidelineBand(fontPixels);
  // One pixel clear of the cells: the right side in vertical writing and
  // below in horizontal is the Hi side in both.
  const int32_t c0 = mark.Side == 'L' ? s.Lo - 1 - band : s.Hi + 1;
  TStrokeRun run;
  run.Kind = TDrawKind::Sideline;
  run.Stroke = mark.Stroke;
  run.Box = Along(vertical, s.From, s.To, c0, c0 + band);
  run.Vertical = vertical;
  run.Thickness = StrokeThickness(fontPixels);
  run.Colour = mark.Colour;
  run.Line = line;
  return run;
}

TStrokeRun BoxRun(const TOpenMark& mark, bool vertical, int32_t fontPixels, int32_t line) {
  const TCellSpan& s = mark.Span;
  const int t = StrokeThickness(fontPixels);
  // The rule's inside lies one pixel clear of the cells.
  const int32_t g = t + 1;
  TStrokeRun run;
  run.Kind = TDrawKind::Box;
  run.Box = Along(vertical, s.From - g, s.To + g, s.Lo - g, s.Hi + g);
  run.Vertical = vertical;
  run.Thickness = t;
  run.Colour = mark.Colour;
  run.Line = line;
  return run;
}

TPoint32 KanbunMarkAt(const TCellSpan& ch, bool vertical, bool kaeriten, int32_t advance,
                      int32_t cell) {
  // Ending with the character's cell, or from its start when longer.
  const int32_t start = std::max(ch.From, ch.To - advance);
  if (vertical) return {kaeriten ? ch.Lo : ch.Hi + cell, start};
  return {start, kaeriten ? ch.Hi : ch.Lo - cell};
}

int ShrinkToFit(TFontEngine& fonts, TFontDesc& desc, std::string_view text, int room) {
  int w = fonts.Font(desc).Layout(text).Advance;
  // Advances are whole pixels per glyph, so the first guess may still be a
  // little wide: then a pixel smaller at a time, a few times at most.
  for (int guess = 0; w > room && desc.Height > 1 && guess < 8; ++guess) {
    const int64_t h = guess == 0 ? int64_t{desc.Height} * room / w : desc.Height - 1;
    desc.Height = static_cast<int>(std::clamp<int64_t>(h, 1, desc.Height - 1));
    w = fonts.Font(desc).Layout(text).Advance;
  }
  return w;
}

bool IsMarkPerCharacter(std::string_view reading, std::string_view base) {
  if (reading.empty()) return false;
  const size_t len = mb::Len(reading, 0);
  const std::string_view mark = reading.substr(0, len);
  for (size_t q = 0; q < reading.size(); q += len) {
    if (reading.substr(q, len) != mark) return false;
  }
  const size_t marks = reading.size() / len;
  return marks >= 2 && reading.size() % len == 0 && mb::Count(base) == marks;
}

}  // namespace rpv
