#include "platform/Canvas.h"

#include <algorithm>
#include <cstring>

#include "platform/Font.h"
#include "platform/FontEngine.h"
#include "platform/FontSmoothing.h"

namespace rpv {
namespace {

struct Vec {
  int x;
  int y;
};

// Maps points of the text's own frame (u along the text, v across it from
// the cell top) to points of the bitmap, for one escapement.
struct Frame {
  int x, y;
  Vec u;  // device direction of +u
  Vec v;  // device direction of +v

  Frame(int x0, int y0, int escapement) : x(x0), y(y0) {
    switch (escapement) {
      case 900: u = {0, -1}; v = {1, 0}; break;
      case 1800: u = {-1, 0}; v = {0, -1}; break;
      case 2700: u = {0, 1}; v = {-1, 0}; break;
      default: u = {1, 0}; v = {0, 1}; break;
    }
  }
  Vec Point(int pu, int pv) const { return {x + u.x * pu + v.x * pv, y + u.y * pu + v.y * pv}; }
};

void FillDevice(TBitmap24& bmp, int left, int top, int right, int bottom, uint32_t colour) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, bmp.Width());
  bottom = std::min(bottom, bmp.Height());
  if (left >= right || top >= bottom) return;
  const uint8_t b = static_cast<uint8_t>(colour >> 16);
  const uint8_t g = static_cast<uint8_t>(colour >> 8);
  const uint8_t r = static_cast<uint8_t>(colour);
  const size_t bytes = static_cast<size_t>(right - left) * 3;
  for (int row = top; row < bottom; ++row) {
    uint8_t* p = bmp.Row(row) + static_cast<size_t>(left) * 3;
    if (b == g && g == r) {
      std::memset(p, b, bytes);
    } else {
      for (int c = left; c < right; ++c, p += 3) {
        p[0] = b;
        p[1] = g;
        p[2] = r;
      }
    }
  }
}

// Fills the frame rectangle [u0, u1) x [v0, v1).
void FillFrame(TBitmap24& bmp, const Frame& f, int u0, int v0, int u1, int v1, uint32_t colour) {
  const Vec a = f.Point(u0, v0);
  const Vec b = f.Point(u1, v1);
  FillDevice(bmp, std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x),
             std::max(a.y, b.y), colour);
}

inline void Blend(uint8_t* p, uint8_t a, const uint8_t c[3]) {
  if (a == 255) {
    p[0] = c[0];
    p[1] = c[1];
    p[2] = c[2];
    return;
  }
  for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>(p[k] + ((c[k] - p[k]) * a + 127) / 255);
}

int FloorDiv2(int v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }

void BlitGlyph(TBitmap24& bmp, const Frame& f, const TPlacedGlyph& g, const TGlyphImage& img,
               uint32_t colour) {
  if (img.Width == 0 || img.Height == 0) return;
  // Device directions of the glyph's own +x and +y (up). A rotated glyph
  // turns a quarter counter-clockwise inside the text frame.
  Vec gx, gy;
  if (g.Rotated) {
    gx = {-f.v.x, -f.v.y};
    gy = {-f.u.x, -f.u.y};
  } else {
    gx = f.u;
    gy = {-f.v.x, -f.v.y};
  }
  const Vec o = f.Point(g.U, g.V);
  // Centre of the image's top-left pixel, doubled to stay in integers.
  const int cx2 = 2 * o.x + gx.x * (2 * img.Left + 1) + gy.x * (2 * img.Top - 1);
  const int cy2 = 2 * o.y + gx.y * (2 * img.Left + 1) + gy.y * (2 * img.Top - 1);
  const int px0 = FloorDiv2(cx2);
  const int py0 = FloorDiv2(cy2);
  const uint8_t c[3] = {static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
                        static_cast<uint8_t>(colour)};
  const int W = bmp.Width();
  const int H = bmp.Height();
  // Image column i, row j lands at (px0, py0) + i * gx - j * gy.
  if (gx.x == 1 && gy.y == -1) {  // upright: rows map to rows
    const int i0 = std::max(0, -px0);
    const int i1 = std::min(img.Width, W - px0);
    const int j0 = std::max(0, -py0);
    const int j1 = std::min(img.Height, H - py0);
    for (int j = j0; j < j1; ++j) {
      const uint8_t* src = img.Coverage.data() + static_cast<size_t>(j) * img.Width;
      uint8_t* dst = bmp.Row(py0 + j) + static_cast<size_t>(px0) * 3;
      for (int i = i0; i < i1; ++i)
        if (src[i]) Blend(dst + static_cast<size_t>(i) * 3, src[i], c);
    }
    return;
  }
  for (int j = 0; j < img.Height; ++j) {
    const uint8_t* src = img.Coverage.data() + static_cast<size_t>(j) * img.Width;
    for (int i = 0; i < img.Width; ++i) {
      if (!src[i]) continue;
      const int px = px0 + i * gx.x - j * gy.x;
      const int py = py0 + i * gx.y - j * gy.y;
      if (px < 0 || py < 0 || px >= W || py >= H) continue;
      Blend(bmp.Row(py) + static_cast<size_t>(px) * 3, src[i], c);
    }
  }
}

}  // namespace

void TCanvas::FillRect(const TRect& rect) {
  if (BrushStyle == TBrushStyle::Clear) return;
  FillDevice(*bitmap_, rect.Left, rect.Top, rect.Right, rect.Bottom, BrushColor);
}

TSize TCanvas::TextExtent(std::string_view text) {
  TFont& font = fonts_->Font(Font);
  return {font.Layout(text).Advance, font.CellHeight()};
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  TFont& font = fonts_->Font(Font);
  const TTextRun& run = font.Layout(text);
  const int h = font.CellHeight();
  // Text that cannot reach the bitmap is skipped before any arithmetic on
  // its coordinates, so no coordinate can overflow.
  const long long reach = static_cast<long long>(run.Advance) + 4LL * h + 256;
  if (static_cast<long long>(x) + reach < 0 || static_cast<long long>(x) - reach > bitmap_->Width() ||
      static_cast<long long>(y) + reach < 0 || static_cast<long long>(y) - reach > bitmap_->Height())
    return;
  const Frame frame(x, y, NormaliseEscapement(Font.Escapement));
  if (BrushStyle == TBrushStyle::Solid) FillFrame(*bitmap_, frame, 0, 0, run.Advance, h, BrushColor);
  if (bitmap_->Empty()) return;
  const bool smooth = FontSmoothing();
  for (const TPlacedGlyph& g : run.Glyphs)
    BlitGlyph(*bitmap_, frame, g, font.Glyph(g.Glyph, smooth), FontColor);
  if (Font.StrikeOut)
    FillFrame(*bitmap_, frame, 0, font.StrikeTop(), run.Advance,
              font.StrikeTop() + font.StrikeThickness(), FontColor);
}

void TCanvas::Draw(int x, int y, const TBitmap24& picture) {
  const long long i0 = std::max(0LL, -static_cast<long long>(x));
  const long long i1 = std::min<long long>(picture.Width(), static_cast<long long>(bitmap_->Width()) - x);
  const long long j0 = std::max(0LL, -static_cast<long long>(y));
  const long long j1 = std::min<long long>(picture.Height(), static_cast<long long>(bitmap_->Height()) - y);
  if (i0 >= i1 || j0 >= j1) return;
  for (int j = static_cast<int>(j0); j < j1; ++j)
    std::memcpy(bitmap_->Row(y + j) + static_cast<size_t>(x + i0) * 3,
                picture.Row(j) + static_cast<size_t>(i0) * 3, static_cast<size_t>(i1 - i0) * 3);
}

}  // namespace rpv
