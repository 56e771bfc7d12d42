#include "render/CanvasDevice.h"

#include <algorithm>

#include "render/class/BMPTools.h"

namespace rpv {

namespace {

// DrawTextAA's angle for the orientation.
int AngleOf(TOrientation o) {
  switch (o) {
    case TOrientation::Vertical: return 27;
    case TOrientation::Turned: return 18;
    case TOrientation::Horizontal: break;
  }
  return 0;
}

}  // namespace

void TCanvasDevice::Fill(const TRect& rect, uint32_t colour) {
  canvas_.BrushStyle = TBrushStyle::Solid;
  canvas_.BrushColor = colour;
  canvas_.FillRect(rect);
}

void TCanvasDevice::Tile(const TRect& rect, const TBitmap24& tile, std::string_view) {
  const int w = tile.Width();
  const int h = tile.Height();
  if (w <= 0 || h <= 0) return;
  for (long long y = rect.Top; y < rect.Bottom; y += h)
    for (long long x = rect.Left; x < rect.Right; x += w)
      canvas_.Draw(static_cast<int>(x), static_cast<int>(y), tile);
}

void TCanvasDevice::Picture(const TPictureRun& p) {
  TBitmap24& page = canvas_.Bitmap();
  const TBitmap24& picture = *p.Bitmap;
  const long long left = std::max<long long>({0LL, p.Clip.Left, p.X});
  const long long top = std::max<long long>({0LL, p.Clip.Top, p.Y});
  const long long right =
      std::min<long long>({static_cast<long long>(page.Width()), p.Clip.Right,
                           static_cast<long long>(p.X) + picture.Width()});
  const long long bottom =
      std::min<long long>({static_cast<long long>(page.Height()), p.Clip.Bottom,
                           static_cast<long long>(p.Y) + picture.Height()});
  if (left >= right || top >= bottom) return;
  const size_t bytes = static_cast<size_t>(right - left) * 3;
  for (long long row = top; row < bottom; ++row) {
    const uint8_t* src =
        picture.Row(static_cast<int>(row - p.Y)) + static_cast<size_t>(left - p.X) * 3;
    std::copy_n(src, bytes, page.Row(static_cast<int>(row)) + static_cast<size_t>(left) * 3);
  }
}

void TCanvasDevice::Glyphs(const TGlyphRun& run) {
  const TRunFont& font = *run.Font;
  // Assigned only when it changes: a page draws thousands of runs in a
  // handful of fonts.
  if (!(canvas_.Font == font.Desc)) canvas_.Font = font.Desc;
  canvas_.FontColor = font.Colour & 0xFFFFFF;
  canvas_.BrushStyle = TBrushStyle::Clear;
  canvas_.Smooth = font.Smooth;
  DrawTextAA(canvas_, run.X, run.Y, AngleOf(run.Orientation), font.Supersampling, run.Text);
}

void TCanvasDevice::Side(const TSideRun& run) {
  for (const TGlyphRun& g : run.Glyphs) Glyphs(g);
}

void TCanvasDevice::Rule(const TGlyphRun& unit, int step, int count) {
  TGlyphRun run = unit;
  for (int k = 0; k < count; ++k) {
    Glyphs(run);
    if (run.Orientation == TOrientation::Horizontal) run.X += step;
    else run.Y += step;
  }
}

void TCanvasDevice::Invert(const TRect& rect, int32_t) {
  TBitmap24& page = canvas_.Bitmap();
  const int left = std::max(rect.Left, 0);
  const int top = std::max(rect.Top, 0);
  const int right = std::min(rect.Right, page.Width());
  const int bottom = std::min(rect.Bottom, page.Height());
  for (int y = top; y < bottom; ++y) {
    uint8_t* row = page.Row(y);
    for (int x = 3 * left; x < 3 * right; ++x) row[x] = static_cast<uint8_t>(~row[x]);
  }
}

}  // namespace rpv
