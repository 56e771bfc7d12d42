#include "platform/Canvas.h"

#include <algorithm>
#include <cstring>

#include "platform/Font.h"
#include "platform/FontEngine.h"

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

// Pixel access to a 24-bit bitmap in one colour.
struct RgbSurface {
  TBitmap24& bmp;
  uint8_t c[3];
  RgbSurface(TBitmap24& b, uint32_t colour)
      : bmp(b),
        c{static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
          static_cast<uint8_t>(colour)} {}
  static constexpr int kBytes = 3;
  int Width() const { return bmp.Width(); }
  int Height() const { return bmp.Height(); }
  uint8_t* Row(int y) { return bmp.Row(y); }
  // Coverage a (0..255) of the colour over the pixel; exact at both ends
  // and free of branches, so the row loops stay straight.
  void Blend(uint8_t* p, unsigned a) const {
    const unsigned na = 255 - a;
    p[0] = static_cast<uint8_t>((p[0] * na + c[0] * a + 127) / 255);
    p[1] = static_cast<uint8_t>((p[1] * na + c[1] * a + 127) / 255);
    p[2] = static_cast<uint8_t>((p[2] * na + c[2] * a + 127) / 255);
  }
  // n pixels of black-and-white coverage (each 0 or 255) as masks.
  void Select(uint8_t* p, const uint8_t* m, int n) const {
    for (int i = 0; i < n; ++i, p += 3) {
      p[0] = static_cast<uint8_t>((p[0] & ~m[i]) | (c[0] & m[i]));
      p[1] = static_cast<uint8_t>((p[1] & ~m[i]) | (c[1] & m[i]));
      p[2] = static_cast<uint8_t>((p[2] & ~m[i]) | (c[2] & m[i]));
    }
  }
  void Fill(uint8_t* p, int n) const {
    if (c[0] == c[1] && c[1] == c[2]) {
      std::memset(p, c[0], static_cast<size_t>(n) * 3);
      return;
    }
    for (int i = 0; i < n; ++i, p += 3) {
      p[0] = c[0];
      p[1] = c[1];
      p[2] = c[2];
    }
  }
};

// Pixel access to a coverage map in one grey level (255 for text, 0 for
// its background).
struct GreySurface {
  TCoverageMap& map;
  uint8_t c;
  static constexpr int kBytes = 1;
  int Width() const { return map.Width; }
  int Height() const { return map.Height; }
  uint8_t* Row(int y) { return map.Row(y); }
  void Blend(uint8_t* p, unsigned a) const {
    p[0] = static_cast<uint8_t>((p[0] * (255 - a) + c * a + 127) / 255);
  }
  void Select(uint8_t* p, const uint8_t* m, int n) const {
    for (int i = 0; i < n; ++i) p[i] = static_cast<uint8_t>((p[i] & ~m[i]) | (c & m[i]));
  }
  void Fill(uint8_t* p, int n) const { std::memset(p, c, static_cast<size_t>(n)); }
};

// Grows the box of touched pixels, when one is kept.
inline void Touch(TRect* box, int left, int top, int right, int bottom) {
  if (box == nullptr || left >= right || top >= bottom) return;
  if (box->Left >= box->Right || box->Top >= box->Bottom) {
    *box = {left, top, right, bottom};
    return;
  }
  box->Left = std::min(box->Left, left);
  box->Top = std::min(box->Top, top);
  box->Right = std::max(box->Right, right);
  box->Bottom = std::max(box->Bottom, bottom);
}

template <class Surface>
void FillDevice(Surface& s, int left, int top, int right, int bottom, TRect* box = nullptr) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, s.Width());
  bottom = std::min(bottom, s.Height());
  if (left >= right || top >= bottom) return;
  Touch(box, left, top, right, bottom);
  for (int row = top; row < bottom; ++row)
    s.Fill(s.Row(row) + static_cast<size_t>(left) * Surface::kBytes, right - left);
}

// Fills the frame rectangle [u0, u1) x [v0, v1).
template <class Surface>
void FillFrame(Surface& s, const Frame& f, int u0, int v0, int u1, int v1,
               TRect* box = nullptr) {
  const Vec a = f.Point(u0, v0);
  const Vec b = f.Point(u1, v1);
  FillDevice(s, std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y),
             box);
}

int FloorDiv2(int v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }

template <class Surface>
void BlitGlyph(Surface& s, const Frame& f, const TPlacedGlyph& g, const TGlyphImage& img,
               TRect* box) {
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
  const int px0 = FloorDiv2(2 * o.x + gx.x * (2 * img.Left + 1) + gy.x * (2 * img.Top - 1));
  const int py0 = FloorDiv2(2 * o.y + gx.y * (2 * img.Left + 1) + gy.y * (2 * img.Top - 1));
  const int W = s.Width();
  const int H = s.Height();
  constexpr int kBytes = Surface::kBytes;
  // Image column i, row j lands at (px0, py0) + i * gx - j * gy.
  if (gx.x == 1 && gy.y == -1) {  // upright: rows map to rows
    const int i0 = std::max(0, -px0);
    const int i1 = std::min(img.Width, W - px0);
    const int j0 = std::max(0, -py0);
    const int j1 = std::min(img.Height, H - py0);
    Touch(box, px0 + i0, py0 + j0, px0 + i1, py0 + j1);
    for (int j = j0; j < j1; ++j) {
      const uint8_t* src = img.Coverage.data() + static_cast<size_t>(j) * img.Width;
      uint8_t* dst = s.Row(py0 + j) + static_cast<size_t>(px0 + i0) * kBytes;
      // Black-and-white coverage is a mask: the blend reduces to a select.
      if (img.Binary) {
        s.Select(dst, src + i0, i1 - i0);
        continue;
      }
      for (int i = i0; i < i1; ++i, dst += kBytes) s.Blend(dst, src[i]);
    }
    return;
  }
  // The image's far corner, to bound the touched box.
  const int qx = px0 + (img.Width - 1) * gx.x - (img.Height - 1) * gy.x;
  const int qy = py0 + (img.Width - 1) * gx.y - (img.Height - 1) * gy.y;
  Touch(box, std::max(0, std::min(px0, qx)), std::max(0, std::min(py0, qy)),
        std::min(W, std::max(px0, qx) + 1), std::min(H, std::max(py0, qy) + 1));
  for (int j = 0; j < img.Height; ++j) {
    const uint8_t* src = img.Coverage.data() + static_cast<size_t>(j) * img.Width;
    for (int i = 0; i < img.Width; ++i) {
      if (!src[i]) continue;
      const int px = px0 + i * gx.x - j * gy.x;
      const int py = py0 + i * gx.y - j * gy.y;
      if (px < 0 || py < 0 || px >= W || py >= H) continue;
      s.Blend(s.Row(py) + static_cast<size_t>(px) * kBytes, src[i]);
    }
  }
}

// The whole text call: the opaque cell, the glyphs, the strike-out bar.
template <class Surface>
void RenderText(Surface& ink, Surface* background, TFontEngine& fonts, const TFontDesc& desc,
                bool smooth, int x, int y, std::string_view text, TRect* box = nullptr) {
  TFont& font = fonts.Font(desc);
  const TTextRun& run = font.Layout(text);
  const int h = font.CellHeight();
  // Text that cannot reach the bitmap is skipped before any arithmetic on
  // its coordinates, so no coordinate can overflow.
  const long long reach = static_cast<long long>(run.Advance) + 4LL * h + 256;
  if (static_cast<long long>(x) + reach < 0 || static_cast<long long>(x) - reach > ink.Width() ||
      static_cast<long long>(y) + reach < 0 || static_cast<long long>(y) - reach > ink.Height())
    return;
  const Frame frame(x, y, NormaliseEscapement(desc.Escapement));
  if (background != nullptr) FillFrame(*background, frame, 0, 0, run.Advance, h);
  if (ink.Width() == 0 || ink.Height() == 0) return;
  for (const TPlacedGlyph& g : run.Glyphs)
    BlitGlyph(ink, frame, g, font.Glyph(g.Glyph, smooth, g.Face), box);
  if (desc.StrikeOut)
    FillFrame(ink, frame, 0, font.StrikeTop(), run.Advance,
              font.StrikeTop() + font.StrikeThickness(), box);
}

}  // namespace

void TCanvas::FillRect(const TRect& rect) {
  if (BrushStyle == TBrushStyle::Clear) return;
  RgbSurface brush(*bitmap_, BrushColor);
  FillDevice(brush, rect.Left, rect.Top, rect.Right, rect.Bottom);
}

TSize TCanvas::TextExtent(std::string_view text) {
  TFont& font = fonts_->Font(Font);
  return {font.Layout(text).Advance, font.CellHeight()};
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  RgbSurface ink(*bitmap_, FontColor);
  RgbSurface brush(*bitmap_, BrushColor);
  RenderText(ink, BrushStyle == TBrushStyle::Solid ? &brush : nullptr, *fonts_, Font, Smooth, x, y,
             text);
}

TRect DrawTextCoverage(TFontEngine& fonts, const TFontDesc& font, bool smooth, int x, int y,
                       std::string_view text, TCoverageMap& map) {
  GreySurface ink{map, 255};
  GreySurface black{map, 0};
  TRect box;
  RenderText(ink, &black, fonts, font, smooth, x, y, text, &box);
  return box;
}

void TCanvas::Draw(int x, int y, const TBitmap24& picture) {
  const long long i0 = std::max(0LL, -static_cast<long long>(x));
  const long long i1 =
      std::min<long long>(picture.Width(), static_cast<long long>(bitmap_->Width()) - x);
  const long long j0 = std::max(0LL, -static_cast<long long>(y));
  const long long j1 =
      std::min<long long>(picture.Height(), static_cast<long long>(bitmap_->Height()) - y);
  if (i0 >= i1 || j0 >= j1) return;
  for (long long j = j0; j < j1; ++j)
    std::memcpy(bitmap_->Row(static_cast<int>(y + j)) + static_cast<size_t>(x + i0) * 3,
                picture.Row(static_cast<int>(j)) + static_cast<size_t>(i0) * 3,
                static_cast<size_t>(i1 - i0) * 3);
}

}  // namespace rpv
