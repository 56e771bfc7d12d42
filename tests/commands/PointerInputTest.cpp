#include <gtest/gtest.h>

#include <limits>

#include "app/commands/Assignments.h"
#include "app/commands/PointerInput.h"

using namespace rpv;

namespace {
const TPoint kDown{500, 400};
TPoint Moved(int32_t dx, int32_t dy) { return {kDown.X + dx, kDown.Y + dy}; }
}  // namespace

TEST(Gestures, FortyPixelsIsStillAClickFortyOneIsADrag) {
  EXPECT_EQ(MouseUpSlot(mbLeft, kDown, mbLeft, Moved(-40, 0)), kSlotLeftClick);
  EXPECT_EQ(MouseUpSlot(mbLeft, kDown, mbLeft, Moved(-41, 0)), kSlotDragLeft);
  EXPECT_EQ(MouseUpSlot(mbLeft, kDown, mbLeft, Moved(40, 40)), kSlotLeftClick);
  EXPECT_EQ(MouseUpSlot(mbLeft, kDown, mbLeft, Moved(41, 0)), kSlotDragRight);
  EXPECT_EQ(MouseUpSlot(mbLeft, kDown, mbLeft, Moved(0, -41)), kSlotDragUp);
  EXPECT_EQ(MouseUpSlot(mbLeft, kDown, mbLeft, Moved(0, 41)), kSlotDragDown);
  EXPECT_EQ(MouseUpSlot(mbLeft, kDown, mbLeft, Moved(-40, -40)), kSlotLeftClick);

  // Each button has its own drag slots.
  EXPECT_EQ(MouseUpSlot(mbRight, kDown, mbRight, Moved(-50, 0)), 6);
  EXPECT_EQ(MouseUpSlot(mbMiddle, kDown, mbMiddle, Moved(-50, 0)), 7);
  EXPECT_EQ(MouseUpSlot(mbRight, kDown, mbRight, Moved(50, 0)), 9);
  EXPECT_EQ(MouseUpSlot(mbMiddle, kDown, mbMiddle, Moved(50, 0)), 10);
  EXPECT_EQ(MouseUpSlot(mbRight, kDown, mbRight, Moved(0, -50)), 12);
  EXPECT_EQ(MouseUpSlot(mbMiddle, kDown, mbMiddle, Moved(0, -50)), 13);
  EXPECT_EQ(MouseUpSlot(mbRight, kDown, mbRight, Moved(0, 50)), 15);
  EXPECT_EQ(MouseUpSlot(mbMiddle, kDown, mbMiddle, Moved(0, 50)), 16);
  EXPECT_EQ(MouseUpSlot(mbRight, kDown, mbRight, kDown), kSlotRightClick);
  EXPECT_EQ(MouseUpSlot(mbMiddle, kDown, mbMiddle, kDown), kSlotMiddleClick);
}

TEST(Gestures, DiagonalsPreferHorizontalThenLeftThenUp) {
  // 50 left and 80 down: a drag to the left.
  EXPECT_EQ(MouseUpSlot(mbLeft, kDown, mbLeft, Moved(-50, 80)), kSlotDragLeft);
  EXPECT_EQ(MouseUpSlot(mbLeft, kDown, mbLeft, Moved(45, -300)), kSlotDragRight);
  // Vertical only when the horizontal part stays within the threshold.
  EXPECT_EQ(MouseUpSlot(mbLeft, kDown, mbLeft, Moved(40, -300)), kSlotDragUp);
  EXPECT_EQ(MouseUpSlot(mbLeft, kDown, mbLeft, Moved(-40, 300)), kSlotDragDown);
}

TEST(Gestures, ClicksFollowTheReleasedButtonDragsTheRecordedOne) {
  // No button recorded (cleared by a dialog): a drag runs nothing, a click
  // is the released button's.
  EXPECT_EQ(MouseUpSlot(mbNone, kDown, mbLeft, Moved(-100, 0)), -1);
  EXPECT_EQ(MouseUpSlot(mbNone, kDown, mbRight, kDown), kSlotRightClick);
  // Pressed right, released left after a drag: the right button's drag.
  EXPECT_EQ(MouseUpSlot(mbRight, kDown, mbLeft, Moved(-100, 0)), 6);
  // Other buttons click nothing.
  EXPECT_EQ(MouseUpSlot(mbLeft, kDown, mbNone, kDown), -1);
  // Far-apart coordinates do not overflow.
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  EXPECT_EQ(MouseUpSlot(mbLeft, {kMax, 0}, mbLeft, {kMin, 0}), kSlotDragLeft);
  EXPECT_EQ(MouseUpSlot(mbLeft, {kMin, 0}, mbLeft, {kMax, 0}), kSlotDragRight);
}

TEST(Wheel, OneSlotPerNotchAndPartialDeltasAccumulate) {
  TWheelAccumulator wheel;
  EXPECT_EQ(wheel.Feed(120), 1);
  EXPECT_EQ(wheel.Feed(-120), -1);
  EXPECT_EQ(wheel.Feed(360), 3);
  // A high-resolution wheel: eight steps of 15 make one notch.
  int notches = 0;
  for (int i = 0; i < 8; ++i) notches += wheel.Feed(15);
  EXPECT_EQ(notches, 1);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(wheel.Feed(-15), 0);
  EXPECT_EQ(wheel.Feed(-15), -1);
  // Turning back cancels what was gathered.
  EXPECT_EQ(wheel.Feed(100), 0);
  EXPECT_EQ(wheel.Feed(-100), 0);
  EXPECT_EQ(wheel.Feed(119), 0);
  EXPECT_EQ(wheel.Feed(1), 1);
  EXPECT_EQ(wheel.Feed(0), 0);
  // Extreme deltas neither overflow nor lose their remainder.
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(wheel.Feed(kMax), kMax / 120);
  EXPECT_EQ(wheel.Feed(kMax), kMax / 120 + (2 * (kMax % 120)) / 120);
  wheel.Reset();
  EXPECT_EQ(wheel.Feed(60), 0);
  wheel.Reset();
  EXPECT_EQ(wheel.Feed(60), 0);
}

TEST(LinkPopUp, BelowThePointerAndInsideTheRightEdge) {
  EXPECT_EQ(PopUpPosition({100, 50}, 200, 640).X, 100);
  EXPECT_EQ(PopUpPosition({100, 50}, 200, 640).Y, 70);
  EXPECT_EQ(PopUpPosition({440, 50}, 200, 640).X, 440);  // ends exactly at the edge
  EXPECT_EQ(PopUpPosition({441, 50}, 200, 640).X, 440);
  EXPECT_EQ(PopUpPosition({600, 300}, 200, 640).X, 440);
  EXPECT_EQ(PopUpPosition({600, 300}, 200, 640).Y, 320);
}
