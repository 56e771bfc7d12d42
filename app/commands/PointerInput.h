// What the mouse does on the page: clicks and 40-pixel drag gestures mapped
// to the slots of the mouse assignments, wheel notches from accumulated
// deltas, and where the link pop-up goes. Qt-free; the window feeds it the
// positions and buttons of its events.
#pragma once

#include <cstdint>

namespace rpv {

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
};

// The mouse buttons as ButtonDown counts them: 0 none (or another button),
// 1 left, 2 right, 3 middle.
enum TButton : int32_t { mbNone = 0, mbLeft = 1, mbRight = 2, mbMiddle = 3 };

// A drag counts only when the pointer moved more than this many pixels.
inline constexpr int32_t kGestureThreshold = 40;

// The mouse slot a button release runs (-1: none); a left release over a
// link follows the link instead, which the window checks first. buttonDown is the button
// the last press recorded, down its screen position, released the button
// let go and up the pointer's screen position now. Horizontal movement wins
// over vertical, left over right and up over down; a drag without a
// recorded button runs nothing; no drag is a click of the released button.
int MouseUpSlot(int32_t buttonDown, TPoint down, int32_t released, TPoint up);

// Wheel deltas in units of 1/8 degree; one notch is 120. High-resolution
// wheels and touchpads send parts of a notch, which are summed until a whole
// notch is reached.
inline constexpr int32_t kWheelNotch = 120;

class TWheelAccumulator {
 public:
  // Adds a delta and returns the whole notches it completes: positive up
  // (away from the user), negative down.
  int32_t Feed(int32_t delta);
  void Reset() { partial_ = 0; }

 private:
  int64_t partial_ = 0;  // always within one notch either way
};

// The link pop-up sits 20 pixels below the pointer, at its x unless the
// label would then pass the right edge of the client area; there it ends at
// the edge.
inline constexpr int32_t kPopUpOffsetY = 20;
TPoint PopUpPosition(TPoint pointer, int32_t labelWidth, int32_t clientWidth);

}  // namespace rpv
