// Supersampled text and area-averaging scaling.
#include "render/class/BMPTools.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/Codepage.h"
#include "platform/FontEngine.h"

namespace rpv {
namespace {

constexpr uint32_t kBack = RGBColour(100, 150, 200);
constexpr uint32_t kText = RGBColour(10, 20, 250);

void Fill(TBitmap24& bmp, uint32_t colour) {
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) bmp.SetPixel(x, y, colour);
}

struct Box {
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
  int count = 0;
};
Box InkBox(const TBitmap24& bmp, uint32_t back) {
  Box b;
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x)
      if (bmp.Pixel(x, y) != back) {
        b.left = std::min(b.left, x);
        b.right = std::max(b.right, x);
        b.top = std::min(b.top, y);
        b.bottom = std::max(b.bottom, y);
        ++b.count;
      }
  return b;
}

uint8_t Channel(uint32_t c, int shift) { return static_cast<uint8_t>(c >> shift); }

class DrawTextAATest : public ::testing::Test {
 protected:
  DrawTextAATest() : page_(160, 160), canvas_(page_, engine_) {
    Fill(page_, kBack);
    canvas_.FontColor = kText;
    canvas_.BrushColor = RGBColour(0, 90, 0);
    canvas_.BrushStyle = TBrushStyle::Clear;
  }
  void UseFont(int height, int escapement) {
    canvas_.Font.Height = height;
    canvas_.Font.Escapement = escapement;
    canvas_.Font.FaceName = Utf8ToCp932(escapement == 2700 ? "@ＭＳ 明朝" : "ＭＳ 明朝");
  }
  TFontEngine engine_;
  TBitmap24 page_;
  TCanvas canvas_;
};

TEST_F(DrawTextAATest, FactorOneIsOneOrdinaryTextCall) {
  const std::string text = Utf8ToCp932("春、Ab");
  for (TBrushStyle brush : {TBrushStyle::Clear, TBrushStyle::Solid}) {
    for (int e : {0, 2700, 1800}) {
      UseFont(22, e);
      canvas_.BrushStyle = brush;
      TBitmap24 direct(160, 160);
      Fill(direct, kBack);
      TCanvas c(direct, engine_);
      c.Font = canvas_.Font;
      c.FontColor = kText;
      c.BrushColor = canvas_.BrushColor;
      c.BrushStyle = brush;
      c.TextOut(80, 80, text);
      Fill(page_, kBack);
      DrawTextAA(canvas_, 80, 80, e / 100, 1, text);
      for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 160; ++x) ASSERT_EQ(page_.Pixel(x, y), direct.Pixel(x, y));
    }
  }
}

// The reduction of every 2 x 2 block of white-on-black samples, for each
// direction: full blocks and three-quarter blocks take the text colour
// exactly, a single sample blends with alpha 95, two with alpha 191, and
// untouched blocks keep the page.
TEST_F(DrawTextAATest, FactorTwoReducesWithCoverageBoost) {
  const std::string text = Utf8ToCp932("永「、AB");
  for (bool smooth : {false, true}) {
    canvas_.Smooth = smooth;
    for (int angle : {0, 27, 18, 9}) {
      UseFont(40, angle == 9 ? 900 : angle * 100);
      Fill(page_, kBack);
      const int x = 80, y = 80;
      DrawTextAA(canvas_, x, y, angle, 2, text);

      // The samples as the tool draws them: white on black at the point
      // that puts the text inside a bitmap of its extent.
      TBitmap24 probe(1, 1);
      TCanvas m(probe, engine_);
      m.Font = canvas_.Font;
      const TSize ext = m.TextExtent(text);
      const bool across = angle == 27 || angle == 9;
      TBitmap24 work(across ? ext.cy : ext.cx, across ? ext.cx : ext.cy);
      TCanvas ink(work, engine_);
      ink.Font = canvas_.Font;
      ink.FontColor = RGBColour(255, 255, 255);
      ink.BrushColor = 0;
      ink.Smooth = smooth;
      const int px = angle == 0 || angle == 9 ? 0 : angle == 18 ? ext.cx : ext.cy;
      const int py = angle == 18 ? ext.cy : angle == 9 ? ext.cx : 0;
      ink.TextOut(px, py, text);

      int counts[5] = {0, 0, 0, 0, 0};
      for (int r = 0; r < work.Height() / 2; ++r)
        for (int k = 0; k < work.Width() / 2; ++k) {
          int s = 0;
          for (int dy = 0; dy < 2; ++dy)
            for (int dx = 0; dx < 2; ++dx) s += work.Pixel(2 * k + dx, 2 * r + dy) & 0xFF;
          const uint32_t got = page_.Pixel(x - px / 2 + k, y - py / 2 + r);
          if (s == 0) {
            ASSERT_EQ(got, kBack);
            continue;
          }
          if (!smooth) ++counts[s / 255];
          const int t = 3 * s / 2;
          if (t >= 1020) {
            ASSERT_EQ(got, kText) << s;
            continue;
          }
          const int alpha = t / 4;
          if (s == 255) {
            ASSERT_EQ(alpha, 95);
          }
          for (int shift : {0, 8, 16})
            ASSERT_EQ(Channel(got, shift),
                      (Channel(kBack, shift) * (255 - alpha) + Channel(kText, shift) * alpha) / 256)
                << "S=" << s;
        }
      if (!smooth) {
        for (int n = 1; n <= 4; ++n) EXPECT_GT(counts[n], 0) << angle << " " << n;
      }
      // Nothing lands outside the reduced cell.
      int outside = 0;
      for (int yy = 0; yy < 160; ++yy)
        for (int xx = 0; xx < 160; ++xx) {
          const int k = xx - (x - px / 2), r = yy - (y - py / 2);
          if ((k < 0 || r < 0 || k >= work.Width() / 2 || r >= work.Height() / 2) &&
              page_.Pixel(xx, yy) != kBack)
            ++outside;
        }
      EXPECT_EQ(outside, 0);
    }
  }
}

TEST_F(DrawTextAATest, SupersampledTextLandsInTheCellOfDirectText) {
  canvas_.Smooth = false;
  const std::string ch = Utf8ToCp932("縦");
  for (int angle : {27, 0, 18, 9}) {
    const int e = angle == 9 ? 900 : angle * 100;
    UseFont(44, e);
    Fill(page_, kBack);
    DrawTextAA(canvas_, 80, 80, angle, 2, ch);
    const Box big = InkBox(page_, kBack);
    UseFont(22, e);
    Fill(page_, kBack);
    DrawTextAA(canvas_, 80, 80, angle, 1, ch);
    const Box small = InkBox(page_, kBack);
    ASSERT_GT(big.count, 0);
    EXPECT_NEAR(big.left, small.left, 1) << angle;
    EXPECT_NEAR(big.right, small.right, 1) << angle;
    EXPECT_NEAR(big.top, small.top, 1) << angle;
    EXPECT_NEAR(big.bottom, small.bottom, 1) << angle;
    if (angle == 27) {
      EXPECT_GE(big.left, 80 - 22);
      EXPECT_LT(big.right, 80);
      EXPECT_GE(big.top, 80);
      EXPECT_LT(big.bottom, 80 + 22);
    }
  }
}

TEST_F(DrawTextAATest, ClipsToTheBitmap) {
  UseFont(44, 2700);
  const std::string text = Utf8ToCp932("端の文字");
  for (int v : {INT_MIN, -1000000, -30, 150, 1000000, INT_MAX})
    for (int angle : {0, 27, 18, 9}) {
      DrawTextAA(canvas_, v, 10, angle, 2, text);
      DrawTextAA(canvas_, 10, v, angle, 2, text);
      DrawTextAA(canvas_, v, v, angle, 2, text);
    }
  DrawTextAA(canvas_, 10, 10, 27, 2, "");
  TBitmap24 empty;
  TCanvas none(empty, engine_);
  none.Font = canvas_.Font;
  DrawTextAA(none, 0, 0, 27, 2, text);
  DrawTextAA(none, 0, 0, 27, 1, text);
  SUCCEED();
}

TEST(ScaleBitmap, AreaAveragesWithTrimmedFarEdges) {
  TBitmap24 checker(2, 2);
  checker.SetPixel(0, 0, 0xFFFFFF);
  checker.SetPixel(1, 1, 0xFFFFFF);
  auto grey = ScaleBitmap(checker, 1, 1);
  ASSERT_EQ(grey->Width(), 1);
  ASSERT_EQ(grey->Height(), 1);
  EXPECT_EQ(grey->Pixel(0, 0), RGBColour(127, 127, 127));

  TBitmap24 white(2, 2);
  Fill(white, 0xFFFFFF);
  EXPECT_EQ(ScaleBitmap(white, 1, 1)->Pixel(0, 0), 0xFFFFFFu);

  // The same size gives the same picture; enlarging repeats pixels.
  TBitmap24 src(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) src.SetPixel(x, y, RGBColour(40 * x, 100 * y, 33));
  auto same = ScaleBitmap(src, 3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(same->Pixel(x, y), src.Pixel(x, y));
  auto big = ScaleBitmap(src, 6, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(big->Pixel(x, y), src.Pixel(x / 2, y / 2)) << x << "," << y;

  // 4 -> 2 across averages pairs; the far pixel weighs a hair under 1, so
  // 100 and 201 give just under 150.5.
  TBitmap24 row(4, 1);
  row.SetPixel(0, 0, RGBColour(100, 0, 0));
  row.SetPixel(1, 0, RGBColour(201, 0, 0));
  row.SetPixel(2, 0, RGBColour(10, 0, 0));
  row.SetPixel(3, 0, RGBColour(20, 0, 0));
  auto half = ScaleBitmap(row, 2, 1);
  EXPECT_EQ(half->Pixel(0, 0) & 0xFF, 150u);
  EXPECT_EQ(half->Pixel(1, 0) & 0xFF, 15u);
}

TEST(ScaleBitmap, EmptySourceAndEmptyTarget) {
  EXPECT_THROW(ScaleBitmap(TBitmap24(), 5, 5), EAssertionFailed);
  EXPECT_THROW(ScaleBitmap(TBitmap24(0, 7), 5, 5), EAssertionFailed);
  TBitmap24 one(1, 1);
  EXPECT_TRUE(ScaleBitmap(one, 0, 5)->Empty());
  EXPECT_TRUE(ScaleBitmap(one, 5, -1)->Empty());
}

}  // namespace
}  // namespace rpv
