#include "render/class/BMPTools.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/FontEngine.h"

namespace rpv {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

// Reduces the white-on-black work bitmap 2 x 2 onto the target with its
// top-left at (x, y). Four samples' red bytes add up to S; S is boosted by
// half and saturates at two thirds of full coverage.
void Reduce(const TBitmap24& work, TBitmap24& target, long long x, long long y, uint32_t colour) {
  const long long rows = work.Height() / 2;
  const long long cols = work.Width() / 2;
  const long long r0 = std::max(0LL, -y);
  const long long r1 = std::min(rows, static_cast<long long>(target.Height()) - y);
  const long long k0 = std::max(0LL, -x);
  const long long k1 = std::min(cols, static_cast<long long>(target.Width()) - x);
  if (r0 >= r1 || k0 >= k1) return;
  const int tb = static_cast<int>((colour >> 16) & 0xFF);
  const int tg = static_cast<int>((colour >> 8) & 0xFF);
  const int tr = static_cast<int>(colour & 0xFF);
  for (long long r = r0; r < r1; ++r) {
    const uint8_t* s0 = work.Row(static_cast<int>(2 * r));
    const uint8_t* s1 = work.Row(static_cast<int>(2 * r + 1));
    uint8_t* dst = target.Row(static_cast<int>(y + r)) + static_cast<size_t>(x + k0) * 3;
    for (long long k = k0; k < k1; ++k, dst += 3) {
      const size_t a = static_cast<size_t>(6 * k + 2);  // red of column 2k
      const int s = s0[a] + s0[a + 3] + s1[a] + s1[a + 3];
      if (s == 0) continue;
      const int t = (3 * s) / 2;
      if (t >= 1020) {
        dst[0] = static_cast<uint8_t>(tb);
        dst[1] = static_cast<uint8_t>(tg);
        dst[2] = static_cast<uint8_t>(tr);
        continue;
      }
      const int alpha = t / 4;
      dst[0] = static_cast<uint8_t>((dst[0] * (255 - alpha) + tb * alpha) / 256);
      dst[1] = static_cast<uint8_t>((dst[1] * (255 - alpha) + tg * alpha) / 256);
      dst[2] = static_cast<uint8_t>((dst[2] * (255 - alpha) + tr * alpha) / 256);
    }
  }
}

// Source cells behind one target cell along one axis, each with the
// fraction of it that lies inside [lo, hi].
struct Span {
  int first = 0;
  std::vector<double> weights;
};

Span Cover(double lo, double hi, int limit) {
  Span span;
  const int a = std::clamp(static_cast<int>(std::floor(lo)), 0, limit - 1);
  const int b = std::clamp(static_cast<int>(std::floor(hi)), 0, limit - 1);
  span.first = a;
  for (int j = a; j <= b; ++j) {
    double f;
    if (j > lo && j + 1 < hi) f = 1;
    else if (j <= lo && j + 1 < hi) f = 1 - (lo - j);
    else if (j > lo && j + 1 >= hi) f = hi - j;
    else f = hi - lo;
    span.weights.push_back(f);
  }
  return span;
}

}  // namespace

void DrawTextAA(TCanvas& canvas, int x, int y, int angle, int factor, std::string_view text) {
  if (factor != 2 || text.empty()) {
    canvas.TextOut(x, y, text);
    return;
  }
  TBitmap24 work;
  TCanvas ink(work, canvas.Fonts());
  ink.Font = canvas.Font;
  ink.FontColor = kWhite;
  ink.BrushColor = kBlack;
  ink.BrushStyle = TBrushStyle::Solid;
  const TSize extent = ink.TextExtent(text);
  const int w = extent.cx;
  const int h = extent.cy;
  int px = 0;
  int py = 0;
  switch (angle) {
    case 0: work.SetSize(w, h); break;
    case 18: work.SetSize(w, h); px = w; py = h; break;
    case 27: work.SetSize(h, w); px = h; break;
    default: work.SetSize(h, w); py = w; break;
  }
  if (work.Empty()) return;
  ink.TextOut(px, py, text);
  Reduce(work, canvas.Bitmap(), static_cast<long long>(x) - px / 2,
         static_cast<long long>(y) - py / 2, canvas.FontColor);
}

std::unique_ptr<TBitmap24> ScaleBitmap(const TBitmap24& source, int width, int height) {
  const int W = source.Width();
  const int H = source.Height();
  if (W <= 0 || H <= 0) throw EAssertionFailed("Assertion failure (class/BMPTools, line 543)");
  auto result = std::make_unique<TBitmap24>();
  if (width <= 0 || height <= 0) return result;
  result->SetSize(width, height);
  const double sx = static_cast<double>(W) / width;
  const double sy = static_cast<double>(H) / height;
  const double area = static_cast<double>(W) * H / width / height;
  constexpr double kTrim = 0.000001;

  std::vector<Span> columns(static_cast<size_t>(width));
  for (int X = 0; X < width; ++X) columns[X] = Cover(X * sx, (X + 1) * sx - kTrim, W);
  for (int Y = 0; Y < height; ++Y) {
    const Span rows = Cover(Y * sy, (Y + 1) * sy - kTrim, H);
    uint8_t* out = result->Row(Y);
    for (int X = 0; X < width; ++X, out += 3) {
      const Span& cols = columns[X];
      double sum[3] = {0, 0, 0};
      for (size_t i = 0; i < rows.weights.size(); ++i) {
        const uint8_t* src = source.Row(rows.first + static_cast<int>(i)) +
                             static_cast<size_t>(cols.first) * 3;
        for (size_t j = 0; j < cols.weights.size(); ++j, src += 3) {
          const double weight = cols.weights[j] * rows.weights[i];
          sum[0] += weight * src[0];
          sum[1] += weight * src[1];
          sum[2] += weight * src[2];
        }
      }
      for (int c = 0; c < 3; ++c) {
        // Nearest integer, halves to even.
        const long v = std::lrint(sum[c] / area);
        out[c] = static_cast<uint8_t>(std::clamp(v, 0L, 255L));
      }
    }
  }
  return result;
}

}  // namespace rpv
