// A 24-bit bitmap: rows of blue, green, red bytes, top row first, each row
// padded to four bytes as a device-independent bitmap is.
#pragma once

#include <cstdint>
#include <vector>

namespace rpv {

class TBitmap24 {
 public:
  TBitmap24() = default;
  TBitmap24(int width, int height) { SetSize(width, height); }

  // Sizes are clamped at 0; contents become black.
  void SetSize(int width, int height) {
    width_ = width > 0 ? width : 0;
    height_ = height > 0 ? height : 0;
    stride_ = (static_cast<size_t>(width_) * 3 + 3) & ~static_cast<size_t>(3);
    pixels_.assign(stride_ * static_cast<size_t>(height_), 0);
  }

  int Width() const { return width_; }
  int Height() const { return height_; }
  size_t Stride() const { return stride_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }

  uint8_t* Row(int y) { return pixels_.data() + stride_ * static_cast<size_t>(y); }
  const uint8_t* Row(int y) const { return pixels_.data() + stride_ * static_cast<size_t>(y); }

  // Colour as a Windows colour value (red in the low byte).
  uint32_t Pixel(int x, int y) const {
    const uint8_t* p = Row(y) + 3 * static_cast<size_t>(x);
    return static_cast<uint32_t>(p[2]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[0]) << 16);
  }
  void SetPixel(int x, int y, uint32_t colour) {
    uint8_t* p = Row(y) + 3 * static_cast<size_t>(x);
    p[0] = static_cast<uint8_t>(colour >> 16);
    p[1] = static_cast<uint8_t>(colour >> 8);
    p[2] = static_cast<uint8_t>(colour);
  }

 private:
  int width_ = 0;
  int height_ = 0;
  size_t stride_ = 0;
  std::vector<uint8_t> pixels_;
};

}  // namespace rpv
