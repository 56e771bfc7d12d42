#include "render/CanvasDevice.h"

#include <algorithm>
#include <cmath>
#include <numbers>

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

void TCanvasDevice::FillAlong(bool vertical, int32_t along0, int32_t along1, int32_t cross0,
                              int32_t cross1) {
  if (vertical) canvas_.FillRect({cross0, along0, cross1, along1});
  else canvas_.FillRect({along0, cross0, along1, cross1});
}

void TCanvasDevice::Stroke(const TStrokeRun& run) {
  canvas_.BrushStyle = TBrushStyle::Solid;
  canvas_.BrushColor = run.Colour & 0xFFFFFF;
  const TRect& r = run.Box;
  const int t = std::max(1, run.Thickness);
  if (run.Kind == TDrawKind::Box) {
    canvas_.FillRect({r.Left, r.Top, r.Right, r.Top + t});
    canvas_.FillRect({r.Left, r.Bottom - t, r.Right, r.Bottom});
    canvas_.FillRect({r.Left, r.Top, r.Left + t, r.Bottom});
    canvas_.FillRect({r.Right - t, r.Top, r.Right, r.Bottom});
    return;
  }
  const bool v = run.Vertical;
  const int32_t a0 = v ? r.Top : r.Left;
  const int32_t a1 = v ? r.Bottom : r.Right;
  const int32_t c0 = v ? r.Left : r.Top;
  const int32_t c1 = v ? r.Right : r.Bottom;
  const int32_t band = c1 - c0;
  const int32_t mid = c0 + (band - t) / 2;
  // Dashes scale with the band, so they read alike at every font size.
  const int32_t dash = std::max(3, band * 3 / 2);
  const int32_t gap = std::max(2, band * 3 / 4);
  switch (run.Stroke) {
    case TStroke::Solid: FillAlong(v, a0, a1, mid, mid + t); break;
    case TStroke::Double:
      FillAlong(v, a0, a1, c0, c0 + t);
      FillAlong(v, a0, a1, c1 - t, c1);
      break;
    case TStroke::Broken:
      for (int32_t a = a0; a < a1; a += dash + gap) FillAlong(v, a, std::min(a + dash, a1), mid, mid + t);
      break;
    case TStroke::Chain:
      // dash, gap, dot, gap
      for (int32_t a = a0; a < a1; a += dash + 2 * gap + t) {
        FillAlong(v, a, std::min(a + dash, a1), mid, mid + t);
        const int32_t dot = a + dash + gap;
        if (dot < a1) FillAlong(v, dot, std::min(dot + t, a1), mid, mid + t);
      }
      break;
    case TStroke::Wavy: {
      // One wave per band and a half along, from edge to edge of the band;
      // each step joins the last, so the wave has no gaps.
      const double amplitude = (band - t) / 2.0;
      const double period = std::max(6.0, band * 1.5);
      int32_t last = mid;
      for (int32_t a = a0; a < a1; ++a) {
        const auto c = static_cast<int32_t>(
            std::lround(mid + amplitude * std::sin(2 * std::numbers::pi * (a - a0) / period)));
        FillAlong(v, a, a + 1, std::min(c, last), std::max(c, last) + t);
        last = c;
      }
      break;
    }
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
