#include "render/class/BMPTools.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/FontEngine.h"

namespace rpv {
namespace {

// The blend of one 2 x 2 block as (page x keep + text x alpha) / 256, by
// the sum S of its four samples: S boosted by half, T = 3S / 2; T >= 1020
// gives the text colour exactly (keep 0, alpha 256), otherwise alpha is
// T / 4 and keep 255 - alpha; S = 0 leaves the page as it is (keep 256).
// A table keeps the row loop free of branches, which the random order of
// empty, partial and full blocks along a row would mispredict.
struct Weights {
  uint16_t keep;
  uint16_t alpha;
};
struct WeightTable {
  Weights of[1021];
  constexpr WeightTable() : of{} {
    for (int s = 0; s <= 1020; ++s) {
      const int t = (3 * s) / 2;
      if (s == 0) of[s] = {256, 0};
      else if (t >= 1020) of[s] = {0, 256};
      else of[s] = {static_cast<uint16_t>(255 - t / 4), static_cast<uint16_t>(t / 4)};
    }
  }
};
constexpr WeightTable kWeights;

// Reduces the white-on-black samples 2 x 2 onto the target with its
// top-left at (x, y). Four samples add up to S; S is boosted by half and
// saturates at two thirds of full coverage.
// Only the blocks that meet the ink box can hold a sample other than 0.
void Reduce(const TCoverageMap& work, const TRect& ink, TBitmap24& target, long long x,
            long long y, uint32_t colour) {
  const long long rows = std::min(work.Height / 2, (ink.Bottom + 1) / 2);
  const long long cols = std::min(work.Width / 2, (ink.Right + 1) / 2);
  const long long r0 = std::max<long long>(ink.Top / 2, -y);
  const long long r1 = std::min(rows, static_cast<long long>(target.Height()) - y);
  const long long k0 = std::max<long long>(ink.Left / 2, -x);
  const long long k1 = std::min(cols, static_cast<long long>(target.Width()) - x);
  if (r0 >= r1 || k0 >= k1) return;
  const int tb = static_cast<int>((colour >> 16) & 0xFF);
  const int tg = static_cast<int>((colour >> 8) & 0xFF);
  const int tr = static_cast<int>(colour & 0xFF);
  for (long long r = r0; r < r1; ++r) {
    const uint8_t* s0 = work.Row(static_cast<int>(2 * r)) + 2 * k0;
    const uint8_t* s1 = work.Row(static_cast<int>(2 * r + 1)) + 2 * k0;
    uint8_t* dst = target.Row(static_cast<int>(y + r)) + static_cast<size_t>(x + k0) * 3;
    for (long long k = k0; k < k1; ++k, dst += 3, s0 += 2, s1 += 2) {
      const Weights& w = kWeights.of[s0[0] + s0[1] + s1[0] + s1[1]];
      dst[0] = static_cast<uint8_t>((dst[0] * w.keep + tb * w.alpha) >> 8);
      dst[1] = static_cast<uint8_t>((dst[1] * w.keep + tg * w.alpha) >> 8);
      dst[2] = static_cast<uint8_t>((dst[2] * w.keep + tr * w.alpha) >> 8);
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
  // The samples: white text over black, kept as coverage only, since the
  // reduction reads one channel of them.
  const TSize extent = canvas.TextExtent(text);
  const int w = extent.cx;
  const int h = extent.cy;
  TCoverageMap work;
  int px = 0;
  int py = 0;
  switch (angle) {
    case 0: work.SetSize(w, h); break;
    case 18: work.SetSize(w, h); px = w; py = h; break;
    case 27: work.SetSize(h, w); px = h; break;
    default: work.SetSize(h, w); py = w; break;
  }
  if (work.Empty()) return;
  const TRect ink = DrawTextCoverage(canvas.Fonts(), canvas.Font, canvas.Smooth, px, py, text, work);
  if (ink.Left >= ink.Right || ink.Top >= ink.Bottom) return;
  Reduce(work, ink, canvas.Bitmap(), static_cast<long long>(x) - px / 2,
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
