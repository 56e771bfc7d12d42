// Text and picture tools on 24-bit bitmaps: text drawn in any of the
// reader's directions, directly or by 2 x 2 supersampling with a coverage
// boost, and area-averaging picture scaling.
#pragma once

#include <memory>
#include <stdexcept>
#include <string_view>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace rpv {

// A broken precondition of these tools (an empty picture to scale).
class EAssertionFailed : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

// Draws CP932 text with its reference point at (x, y) on the canvas's
// bitmap. The canvas is prepared by the caller: its font (at drawing scale,
// escapement set for the direction), text colour, brush and smoothing. Angle is in tens
// of degrees: 0 horizontal, 27 the vertical font (runs down, left of x), 18
// the turned font (runs left, left of x and above y), anything else runs up.
// Factor 2 draws white on black at the font's size and reduces it 2 x 2 into
// the text colour; any other factor is one ordinary text call.
void DrawTextAA(TCanvas& canvas, int x, int y, int angle, int factor, std::string_view text);

// A new bitmap of width x height holding the source resampled by area
// averaging. An empty source raises EAssertionFailed; a target size that is
// not positive gives an empty bitmap.
std::unique_ptr<TBitmap24> ScaleBitmap(const TBitmap24& source, int width, int height);

}  // namespace rpv
