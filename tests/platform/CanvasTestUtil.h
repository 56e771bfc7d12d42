// Helpers for tests that look at drawn pixels; S (CP932 text) comes with the
// shared test support.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "tests/support/TestSupport.h"

namespace rpv::test {

constexpr uint32_t kPaper = RGBColour(255, 255, 255);
constexpr uint32_t kInk = RGBColour(0, 0, 0);

// Bounding box of the pixels that differ from the paper colour.
struct Ink {
  int count = 0;
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;  // inclusive
  double cx = 0, cy = 0;  // centroid
};

inline Ink FindInk(const TBitmap24& bmp, uint32_t paper = kPaper) {
  Ink ink;
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) {
      if (bmp.Pixel(x, y) == paper) continue;
      ++ink.count;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y);
      ink.cx += x;
      ink.cy += y;
    }
  if (ink.count > 0) {
    ink.cx /= ink.count;
    ink.cy /= ink.count;
  }
  return ink;
}

inline void Clear(TBitmap24& bmp, uint32_t colour = kPaper) {
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) bmp.SetPixel(x, y, colour);
}

}  // namespace rpv::test
