// Text on the canvas, checked on pixels: where each escapement puts the
// text, vertical forms of the "@" faces, smoothing, bold, strike-out,
// opaque background, clipping and the glyph cache.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <vector>

#include "platform/Canvas.h"
#include "platform/Codepage.h"
#include "platform/FaceResolver.h"
#include "platform/FontEngine.h"
#include "tests/support/TestSupport.h"
#include "tests/platform/CanvasTestUtil.h"

namespace rpv {
namespace {

using test::FindInk;
using test::kInk;
using test::kPaper;
using test::S;

class CanvasText : public ::testing::Test {
 protected:
  CanvasText() : bmp_(200, 200), canvas_(bmp_, engine_) {
    test::Clear(bmp_);
    canvas_.FontColor = kInk;
    canvas_.BrushColor = kPaper;
    canvas_.BrushStyle = TBrushStyle::Clear;
    canvas_.Font.Height = 22;
    canvas_.Smooth = false;
  }
  void UseFont(const char* face, int escapement, int height = 22) {
    canvas_.Font.FaceName = S(face);
    canvas_.Font.Escapement = escapement;
    canvas_.Font.Height = height;
  }

  TFontEngine engine_;
  TBitmap24 bmp_;
  TCanvas canvas_;
};

const char* const kMixed = "縦書き「日本」、。ABCgy12ー";

TEST_F(CanvasText, HorizontalTextRunsRightFromTopLeftOfCell) {
  UseFont("ＭＳ ゴシック", 0);
  const std::string text = S(kMixed);
  const TSize extent = canvas_.TextExtent(text);
  EXPECT_EQ(extent.cy, 22);
  // Full-width characters of a Japanese face are one cell wide.
  EXPECT_EQ(canvas_.TextExtent(S("日本")).cx, 44);
  canvas_.TextOut(10, 50, text);
  const auto ink = FindInk(bmp_);
  ASSERT_GT(ink.count, 0);
  EXPECT_GE(ink.left, 10);
  EXPECT_LT(ink.right, 10 + extent.cx);
  EXPECT_GE(ink.top, 50);
  EXPECT_LT(ink.bottom, 50 + 22);
}

TEST_F(CanvasText, VerticalTextRunsDownLeftOfReferencePoint) {
  for (int height : {22, 21, 44}) {
    test::Clear(bmp_);
    UseFont("@ＭＳ 明朝", 2700, height);
    const std::string text = S(kMixed);
    const TSize extent = canvas_.TextExtent(text);
    EXPECT_EQ(extent.cy, height);
    // The extent is the advance: the sum of the characters' advances.
    int sum = 0;
    for (size_t i = 0; i < text.size(); i += CharLen(text, i))
      sum += canvas_.TextWidth(text.substr(i, CharLen(text, i)));
    EXPECT_EQ(extent.cx, sum);
    EXPECT_GT(extent.cx, 10 * height);

    const int x = 150, y = 5;
    TBitmap24 tall(200, extent.cx + 20);
    test::Clear(tall);
    TCanvas c(tall, engine_);
    c.Font = canvas_.Font;
    c.FontColor = kInk;
    c.BrushStyle = TBrushStyle::Clear;
    c.TextOut(x, y, text);
    const auto ink = FindInk(tall);
    ASSERT_GT(ink.count, 0);
    EXPECT_GE(ink.left, x - height) << height;
    EXPECT_LT(ink.right, x) << height;
    EXPECT_GE(ink.top, y) << height;
    EXPECT_LT(ink.bottom, y + extent.cx) << height;
    // The text reaches to the end of its advance, not further.
    EXPECT_GT(ink.bottom, y + extent.cx - height);
  }
}

TEST_F(CanvasText, TurnedTextRunsLeftAboveReferencePoint) {
  UseFont("@ＭＳ ゴシック", 1800);
  const std::string text = S("：；＜＞≪≫－“”‘’≒あ");
  const TSize extent = canvas_.TextExtent(text);
  TBitmap24 wide(extent.cx + 40, 60);
  test::Clear(wide);
  TCanvas c(wide, engine_);
  c.Font = canvas_.Font;
  c.FontColor = kInk;
  c.BrushStyle = TBrushStyle::Clear;
  const int x = extent.cx + 20, y = 40;
  c.TextOut(x, y, text);
  const auto ink = FindInk(wide);
  ASSERT_GT(ink.count, 0);
  EXPECT_LT(ink.right, x);
  EXPECT_GE(ink.left, x - extent.cx);
  EXPECT_LT(ink.bottom, y);
  EXPECT_GE(ink.top, y - 22);
}

TEST_F(CanvasText, UpwardTextLiesRightOfAndAboveReferencePoint) {
  UseFont("ＭＳ ゴシック", 900);
  const std::string text = S("上へabc");
  const TSize extent = canvas_.TextExtent(text);
  canvas_.TextOut(20, 150, text);
  const auto ink = FindInk(bmp_);
  ASSERT_GT(ink.count, 0);
  EXPECT_GE(ink.left, 20);
  EXPECT_LT(ink.right, 20 + 22);
  EXPECT_LT(ink.bottom, 150);
  EXPECT_GE(ink.top, 150 - extent.cx);
}

// Draws one character in its own bitmap: horizontally with the plain face at
// (0, 0), or vertically with the "@" face at (cell, 0).
TBitmap24 DrawOne(TFontEngine& engine, const std::string& ch, bool vertical, int h = 22) {
  TBitmap24 bmp;
  TFontDesc font;
  font.Height = h;
  font.FaceName = S(vertical ? "@ＭＳ ゴシック" : "ＭＳ ゴシック");
  font.Escapement = vertical ? 2700 : 0;
  TBitmap24 measure(1, 1);
  TCanvas m(measure, engine);
  m.Font = font;
  const int adv = m.TextWidth(ch);
  if (vertical) bmp.SetSize(h, adv);
  else bmp.SetSize(adv, h);
  test::Clear(bmp);
  TCanvas c(bmp, engine);
  c.Font = font;
  c.FontColor = kInk;
  c.BrushStyle = TBrushStyle::Clear;
  c.TextOut(vertical ? h : 0, 0, ch);
  return bmp;
}

TEST_F(CanvasText, VerticalFaceUsesVerticalFormsForPunctuationAndBrackets) {
  for (const char* utf8 : {"、", "。", "「", "」", "ー", "（"}) {
    const std::string ch = S(utf8);
    const TBitmap24 h = DrawOne(engine_, ch, false);
    const TBitmap24 v = DrawOne(engine_, ch, true);
    ASSERT_EQ(h.Width(), 22);
    ASSERT_EQ(v.Width(), 22);
    ASSERT_EQ(v.Height(), 22) << utf8;
    int differing = 0;
    for (int y = 0; y < 22; ++y)
      for (int x = 0; x < 22; ++x) differing += h.Pixel(x, y) != v.Pixel(x, y);
    EXPECT_GT(differing, 10) << utf8;
  }
  // Comma and full stop stand in the upper right of the vertical cell;
  // horizontally they sit low on the left.
  for (const char* utf8 : {"、", "。"}) {
    const auto hi = FindInk(DrawOne(engine_, S(utf8), false));
    const auto vi = FindInk(DrawOne(engine_, S(utf8), true));
    EXPECT_GT(vi.cx, 11.0) << utf8;
    EXPECT_LT(vi.cy, 11.0) << utf8;
    EXPECT_LT(hi.cx, 11.0) << utf8;
    EXPECT_GT(hi.cy, 11.0) << utf8;
  }
  // The opening bracket turns into a hook over the text below it: a bar
  // across the middle of the cell and a stroke down its right side.
  const auto bracket = FindInk(DrawOne(engine_, S("「"), true));
  EXPECT_GT(bracket.cx, 11.0);
  EXPECT_GT(bracket.cy, 11.0);
  EXPECT_GT(bracket.right - bracket.left, 12);
  // The long vowel mark runs down the column.
  const auto bar = FindInk(DrawOne(engine_, S("ー"), true));
  EXPECT_GT(bar.bottom - bar.top, 3 * (bar.right - bar.left));
}

TEST_F(CanvasText, VerticalFaceStandsKanaUprightAndLaysHalfWidthOnItsSide) {
  // A character without a vertical form is the very same upright glyph.
  const TBitmap24 h = DrawOne(engine_, S("あ"), false);
  const TBitmap24 v = DrawOne(engine_, S("あ"), true);
  ASSERT_EQ(v.Height(), 22);
  for (int y = 0; y < 22; ++y)
    for (int x = 0; x < 22; ++x) ASSERT_EQ(h.Pixel(x, y), v.Pixel(x, y)) << x << "," << y;
  // A half-width letter is the horizontal glyph turned a quarter clockwise.
  for (const char* letter : {"A", "g", "7"}) {
    const TBitmap24 hl = DrawOne(engine_, letter, false);
    const TBitmap24 vl = DrawOne(engine_, letter, true);
    ASSERT_EQ(vl.Width(), hl.Height());
    ASSERT_EQ(vl.Height(), hl.Width());
    int inked = 0;
    for (int y = 0; y < hl.Height(); ++y)
      for (int x = 0; x < hl.Width(); ++x) {
        ASSERT_EQ(hl.Pixel(x, y), vl.Pixel(hl.Height() - 1 - y, x)) << letter;
        inked += hl.Pixel(x, y) != kPaper;
      }
    EXPECT_GT(inked, 5);
  }
}

TEST_F(CanvasText, SmoothingChoosesBlackAndWhiteOrGrey) {
  const std::string text = S("永遠の春、ABCxyz");
  auto greys = [&](bool smooth) {
    canvas_.Smooth = smooth;
    test::Clear(bmp_);
    canvas_.FontColor = RGBColour(200, 30, 60);
    for (int e : {0, 900, 1800, 2700}) {
      UseFont(e == 2700 ? "@ＭＳ 明朝" : "ＭＳ 明朝", e, 17);
      canvas_.TextOut(100, 100, text);
    }
    int n = 0;
    for (int y = 0; y < bmp_.Height(); ++y)
      for (int x = 0; x < bmp_.Width(); ++x) {
        const uint32_t p = bmp_.Pixel(x, y);
        n += p != kPaper && p != canvas_.FontColor;
      }
    return n;
  };
  EXPECT_EQ(greys(false), 0);
  EXPECT_GT(greys(true), 100);
}

TEST_F(CanvasText, BoldItalicAndStrikeOut) {
  const std::string text = S("春の川ABC");
  auto draw = [&](int weight, bool italic, bool strike, int escapement) {
    test::Clear(bmp_);
    UseFont(escapement == 2700 ? "@ＭＳ 明朝" : "ＭＳ 明朝", escapement);
    canvas_.Font.Weight = weight;
    canvas_.Font.Italic = italic;
    canvas_.Font.StrikeOut = strike;
    canvas_.TextOut(escapement == 2700 ? 150 : 10, 10, text);
    return FindInk(bmp_);
  };
  for (int e : {0, 2700}) {
    const auto regular = draw(400, false, false, e);
    const auto bold = draw(700, false, false, e);
    EXPECT_GT(bold.count, regular.count * 11 / 10) << e;
    const auto italic = draw(400, true, false, e);
    EXPECT_NE(italic.cx, regular.cx) << e;
  }
  // Styles do not change the advance the layout counts on.
  canvas_.Font.Weight = 700;
  canvas_.Font.Italic = true;
  const int styled = canvas_.TextWidth(text);
  canvas_.Font.Weight = 400;
  canvas_.Font.Italic = false;
  EXPECT_EQ(styled, canvas_.TextWidth(text));

  // The strike-out bar crosses the whole run inside the cell.
  draw(400, false, true, 0);
  const int width = canvas_.TextWidth(text);
  int fullRows = 0;
  for (int y = 10; y < 32; ++y) {
    bool full = true;
    for (int x = 10; x < 10 + width; ++x) full = full && bmp_.Pixel(x, y) == kInk;
    fullRows += full;
  }
  EXPECT_GE(fullRows, 1);
  draw(400, false, true, 2700);
  int fullColumns = 0;
  for (int x = 150 - 22; x < 150; ++x) {
    bool full = true;
    for (int y = 10; y < 10 + width; ++y) full = full && bmp_.Pixel(x, y) == kInk;
    fullColumns += full;
  }
  EXPECT_GE(fullColumns, 1);
}

TEST_F(CanvasText, OpaqueBrushFillsTheTextCell) {
  const std::string text = S("あいA");
  canvas_.BrushStyle = TBrushStyle::Solid;
  canvas_.BrushColor = RGBColour(0, 0, 255);
  for (int e : {0, 2700, 1800}) {
    test::Clear(bmp_);
    UseFont(e == 2700 ? "@ＭＳ ゴシック" : "ＭＳ ゴシック", e);
    const int adv = canvas_.TextWidth(text);
    canvas_.TextOut(100, 100, text);
    int left = 100, top = 100, right = 100 + adv, bottom = 122;
    if (e == 2700) left = 78, right = 100, top = 100, bottom = 100 + adv;
    if (e == 1800) left = 100 - adv, right = 100, top = 78, bottom = 100;
    for (int y = 0; y < bmp_.Height(); ++y)
      for (int x = 0; x < bmp_.Width(); ++x) {
        const bool inside = x >= left && x < right && y >= top && y < bottom;
        const uint32_t p = bmp_.Pixel(x, y);
        if (inside) ASSERT_NE(p, kPaper) << e << " " << x << "," << y;
        else ASSERT_EQ(p, kPaper) << e << " " << x << "," << y;
      }
  }
  // An empty text has no cell to fill.
  test::Clear(bmp_);
  canvas_.TextOut(50, 50, "");
  EXPECT_EQ(FindInk(bmp_).count, 0);
}

TEST_F(CanvasText, MissingAndWindowsFacesStillDrawJapanese) {
  for (const char* face : {"No Such Face", "@No Such Face", "", "DejaVu Sans", "ＭＳ Ｐ明朝",
                           "MS UI Gothic", "@ＭＳ Ｐゴシック"}) {
    test::Clear(bmp_);
    canvas_.Font.FaceName = S(face);
    canvas_.Font.Escapement = face[0] == '@' ? 2700 : 0;
    canvas_.TextOut(face[0] == '@' ? 150 : 10, 10, S("日本語"));
    const auto ink = FindInk(bmp_);
    EXPECT_GT(ink.count, 100) << face;
    EXPECT_EQ(canvas_.TextExtent(S("日本語")).cy, 22) << face;
  }
}

// 𠮷 (beyond JIS X 0208) and an emoji are not in the IPA faces: they come
// from another installed face that has them, at the same size, in both
// directions, instead of the missing-glyph box.
TEST_F(CanvasText, CharactersTheFaceLacksComeFromAnotherFace) {
  const test::TTempFolder home("rpv_fallback_", test::TTempFolder::SetsHome);
  for (const char32_t cp : {U'𠮷', U'😀'}) {
    if (ResolveFaceWithChar(cp, false, false).File.empty()) {
      std::printf("no installed face has U+%X; skipped\n", static_cast<unsigned>(cp));
      continue;
    }
    const std::string ch = Utf32ToCp932(std::u32string(1, cp));
    for (const char* face : {"ＭＳ 明朝", "@ＭＳ 明朝"}) {
      UseFont(face, face[0] == '@' ? 2700 : 0);
      TFont& font = engine_.Font(canvas_.Font);
      const TTextRun run = font.Layout(S("あ") + ch + S("い"));
      ASSERT_EQ(run.Glyphs.size(), 3u);
      EXPECT_EQ(run.Glyphs[0].Face, 0) << face;
      EXPECT_NE(run.Glyphs[1].Face, 0) << face;
      EXPECT_NE(run.Glyphs[1].Glyph, 0u) << face << ": not the missing-glyph box";
      EXPECT_FALSE(font.Glyph(run.Glyphs[1].Glyph, false, run.Glyphs[1].Face).Coverage.empty());
      EXPECT_GT(run.Advance, 2 * 22 + 11) << face << ": the character takes its room";
      EXPECT_EQ(run.Glyphs[1].Rotated, face[0] == '@') << face << ": upright in vertical text";
    }
  }
  // A Latin letter Shift_JIS lacks lies on its side in vertical text, as the
  // ASCII beside it does.
  UseFont("@ＭＳ 明朝", 2700);
  const TTextRun latin = engine_.Font(canvas_.Font).Layout(S("あ") + Utf8ToCp932("é") + "e");
  ASSERT_EQ(latin.Glyphs.size(), 3u);
  EXPECT_TRUE(latin.Glyphs[0].Rotated);
  EXPECT_FALSE(latin.Glyphs[1].Rotated);
  EXPECT_FALSE(latin.Glyphs[2].Rotated);
}

TEST_F(CanvasText, DrawingFarOutsideTheBitmapIsSafe) {
  const std::string text = S("外側のテキストABC");
  canvas_.BrushStyle = TBrushStyle::Solid;
  canvas_.BrushColor = RGBColour(9, 9, 9);
  canvas_.Font.StrikeOut = true;
  const int far[] = {INT_MIN, INT_MIN + 1, -1000000000, -5000, 5000, 1000000000, INT_MAX - 1,
                     INT_MAX};
  for (int e : {0, 900, 1800, 2700}) {
    UseFont(e == 2700 ? "@ＭＳ ゴシック" : "ＭＳ ゴシック", e);
    for (int x : far)
      for (int y : far) canvas_.TextOut(x, y, text);
    for (int x : far) {
      canvas_.TextOut(x, 100, text);
      canvas_.TextOut(100, x, text);
    }
  }
  TBitmap24 picture(30, 30);
  for (int x : far) {
    canvas_.Draw(x, x, picture);
    canvas_.Draw(x, 0, picture);
    canvas_.Draw(0, x, picture);
  }
  canvas_.FillRect({INT_MAX, INT_MAX, INT_MIN, INT_MIN});
  EXPECT_EQ(FindInk(bmp_).count, 0);

  // Text over an edge is cut there, and what lies inside is drawn.
  UseFont("ＭＳ ゴシック", 0);
  canvas_.BrushStyle = TBrushStyle::Clear;
  canvas_.Font.StrikeOut = false;
  canvas_.TextOut(-11, -11, text);
  canvas_.TextOut(190, 190, text);
  EXPECT_GT(FindInk(bmp_).count, 20);
  // A lone lead byte at the end of the text is one character, not a crash.
  canvas_.TextOut(10, 100, std::string("A\x82", 2));
}

TEST_F(CanvasText, PictureIsCopiedUnscaledAndClipped) {
  TBitmap24 picture(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) picture.SetPixel(x, y, RGBColour(10 * x, 20 * y, 7));
  canvas_.Draw(198, -1, picture);
  EXPECT_EQ(bmp_.Pixel(198, 0), RGBColour(0, 20, 7));
  EXPECT_EQ(bmp_.Pixel(199, 0), RGBColour(10, 20, 7));
  EXPECT_EQ(bmp_.Pixel(197, 0), kPaper);
  EXPECT_EQ(FindInk(bmp_).count, 2);
  canvas_.BrushStyle = TBrushStyle::Clear;
  canvas_.FillRect({0, 0, 200, 200});
  EXPECT_EQ(FindInk(bmp_).count, 2);
  canvas_.BrushStyle = TBrushStyle::Solid;
  canvas_.BrushColor = RGBColour(1, 2, 3);
  canvas_.FillRect({-5, 190, 3, 500});
  EXPECT_EQ(bmp_.Pixel(2, 199), RGBColour(1, 2, 3));
  EXPECT_EQ(bmp_.Pixel(3, 199), kPaper);
  EXPECT_EQ(FindInk(bmp_).count, 2 + 3 * 10);
}

TEST_F(CanvasText, GlyphsAreRasterisedOncePerFont) {
  UseFont("@ＭＳ 明朝", 2700);
  const std::string page = S("春の川、春の川、春の川。");
  for (size_t i = 0; i < page.size(); i += 2) canvas_.TextOut(150, 10, page.substr(i, 2));
  const size_t first = engine_.RasterisedCount();
  EXPECT_EQ(first, 5u);  // 春 の 川 、 。
  for (int pass = 0; pass < 3; ++pass) {
    canvas_.TextOut(150, 10, page);
    for (size_t i = 0; i < page.size(); i += 2) canvas_.TextOut(150, 10, page.substr(i, 2));
  }
  EXPECT_EQ(engine_.RasterisedCount(), first);
  // Strike-out is drawn over the same glyphs.
  canvas_.Font.StrikeOut = true;
  canvas_.TextOut(150, 10, page);
  EXPECT_EQ(engine_.RasterisedCount(), first);
  // Smoothing has glyphs of its own, each made once.
  canvas_.Smooth = true;
  canvas_.TextOut(150, 10, page);
  canvas_.TextOut(150, 10, page);
  EXPECT_EQ(engine_.RasterisedCount(), 2 * first);
}

}  // namespace
}  // namespace rpv
