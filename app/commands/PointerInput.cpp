#include "app/commands/PointerInput.h"

#include "app/commands/Assignments.h"

namespace rpv {

int MouseUpSlot(int32_t buttonDown, TPoint down, int32_t released, TPoint up) {
  // 64-bit differences: screen coordinates from a broken event source must
  // not overflow.
  const int64_t dx = static_cast<int64_t>(up.X) - down.X;
  const int64_t dy = static_cast<int64_t>(up.Y) - down.Y;
  int first = -1;
  if (-dx > kGestureThreshold) {
    first = kSlotDragLeft;
  } else if (dx > kGestureThreshold) {
    first = kSlotDragRight;
  } else if (-dy > kGestureThreshold) {
    first = kSlotDragUp;
  } else if (dy > kGestureThreshold) {
    first = kSlotDragDown;
  }
  if (first >= 0) {
    if (buttonDown < mbLeft || buttonDown > mbMiddle) return -1;
    return first + buttonDown - 1;
  }
  switch (released) {
    case mbLeft: return kSlotLeftClick;
    case mbRight: return kSlotRightClick;
    case mbMiddle: return kSlotMiddleClick;
    default: return -1;
  }
}

int32_t TWheelAccumulator::Feed(int32_t delta) {
  partial_ += delta;
  const int64_t notches = partial_ / kWheelNotch;  // truncates toward zero
  partial_ -= notches * kWheelNotch;
  return static_cast<int32_t>(notches);
}

TPoint PopUpPosition(TPoint pointer, int32_t labelWidth, int32_t clientWidth) {
  TPoint at{pointer.X, pointer.Y + kPopUpOffsetY};
  if (static_cast<int64_t>(pointer.X) + labelWidth > clientWidth) at.X = clientWidth - labelWidth;
  return at;
}

}  // namespace rpv
