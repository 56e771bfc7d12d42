#include <gtest/gtest.h>

#include <climits>

#include "platform/Picture.h"
#include "tests/platform/PictureTestData.h"

using namespace rpv;
using namespace rpv::testdata;

namespace {

// Distinct colours for palette entries.
uint32_t PaletteColour(int i) { return Rgb(10 + 15 * i, 250 - 13 * i, (37 * i) & 0xFF); }

std::vector<uint32_t> Palette(int n) {
  std::vector<uint32_t> p;
  for (int i = 0; i < n; ++i) p.push_back(PaletteColour(i));
  return p;
}

void ExpectPixels(const std::optional<TBitmap24>& bmp,
                  const std::vector<std::vector<uint32_t>>& expected, const std::string& what) {
  ASSERT_TRUE(bmp.has_value()) << what;
  ASSERT_EQ(bmp->Height(), static_cast<int>(expected.size())) << what;
  ASSERT_EQ(bmp->Width(), static_cast<int>(expected[0].size())) << what;
  for (int y = 0; y < bmp->Height(); ++y)
    for (int x = 0; x < bmp->Width(); ++x)
      ASSERT_EQ(bmp->Pixel(x, y), expected[y][x]) << what << " at " << x << "," << y;
}

const uint32_t kBlack = 0;

}  // namespace

TEST(BmpDecoder, PaletteDepthsInBothRowOrdersAndTheCoreHeader) {
  // Width 7 leaves row padding at every depth.
  for (int bits : {1, 4, 8}) {
    const int colours = 1 << bits;
    std::vector<std::vector<int>> idx(3, std::vector<int>(7));
    std::vector<std::vector<uint32_t>> expected(3, std::vector<uint32_t>(7));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 7; ++x) {
        idx[y][x] = (x + 3 * y) % colours;
        expected[y][x] = PaletteColour(idx[y][x]);
      }
    for (bool topDown : {false, true}) {
      BmpShape s;
      s.width = 7;
      s.height = topDown ? -3 : 3;
      s.bitCount = static_cast<uint16_t>(bits);
      s.palette = MakePalette(Palette(colours));
      s.pixels = PackIndexed(idx, bits, topDown);
      const std::string what = std::to_string(bits) + (topDown ? " top-down" : " bottom-up");
      ExpectPixels(LoadBmp(MakeBmp(s)), expected, what);
      EXPECT_EQ(BmpSize(MakeBmp(s)), (TPictureSize{7, 3})) << what;
    }
    if (bits == 8) {
      BmpShape core;
      core.headerBytes = 12;
      core.width = 7;
      core.height = 3;
      core.bitCount = 8;
      core.palette = MakePalette(Palette(256), true);
      core.pixels = PackIndexed(idx, 8);
      ExpectPixels(LoadBmp(MakeBmp(core)), expected, "core header");
    }
  }

  // A short palette: indexes past it are black, and the pixels after the
  // five entries are never taken for colours.
  BmpShape s;
  s.width = 8;
  s.height = 1;
  s.bitCount = 8;
  s.colorsUsed = 5;
  s.palette = MakePalette(Palette(5));
  s.pixels = PackIndexed({{0, 4, 5, 6, 255, 1, 2, 3}}, 8);
  ExpectPixels(LoadBmp(MakeBmp(s)),
               {{PaletteColour(0), PaletteColour(4), kBlack, kBlack, kBlack, PaletteColour(1),
                 PaletteColour(2), PaletteColour(3)}},
               "short palette");
}

TEST(BmpDecoder, DirectColourDepthsAndBitFields) {
  const std::vector<std::vector<uint32_t>> colours = {
      {Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(0, 0, 255)},
      {Rgb(1, 2, 3), Rgb(200, 100, 50), Rgb(255, 255, 255)}};
  auto pack = [&](auto&& encode, int bytesPerPixel, bool topDown = false) {
    std::vector<std::vector<uint32_t>> rows = colours;
    for (auto& row : rows)
      for (auto& c : row) c = encode(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    return PackDirect(rows, bytesPerPixel, topDown);
  };
  auto bgr = [](uint32_t r, uint32_t g, uint32_t b) { return b | (g << 8) | (r << 16); };

  for (bool topDown : {false, true}) {
    BmpShape s;
    s.width = 3;
    s.height = topDown ? -2 : 2;
    s.bitCount = 24;
    s.pixels = pack(bgr, 3, topDown);
    ExpectPixels(LoadBmp(MakeBmp(s)), colours, topDown ? "24 top-down" : "24 bottom-up");
  }

  BmpShape bgrx;
  bgrx.width = 3;
  bgrx.height = 2;
  bgrx.bitCount = 32;
  bgrx.pixels = pack([&](uint32_t r, uint32_t g, uint32_t b) { return bgr(r, g, b) | 0xAB000000; },
                     4);
  ExpectPixels(LoadBmp(MakeBmp(bgrx)), colours, "32 plain");

  // 32 bits with the masks in a V5 header, red in the lowest byte.
  BmpShape v5 = bgrx;
  v5.headerBytes = 124;
  v5.compression = 3;
  v5.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
  v5.pixels = pack([](uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }, 4);
  ExpectPixels(LoadBmp(MakeBmp(v5)), colours, "32 V5 bit fields");
  // The same masks after a plain info header, with alpha (compression 6).
  BmpShape alpha = v5;
  alpha.headerBytes = 40;
  alpha.compression = 6;
  ExpectPixels(LoadBmp(MakeBmp(alpha)), colours, "32 alpha bit fields");

  // 16 bits: 5-5-5 by default, 5-6-5 through masks. Five-bit 31 is 255.
  const std::vector<std::vector<uint32_t>> coarse = {
      {Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(0, 0, 255)},
      {Rgb(0, 0, 0), Rgb(132, 66, 33), Rgb(255, 255, 255)}};
  auto to5 = [](uint32_t v) { return (v * 31 + 127) / 255; };
  auto to6 = [](uint32_t v) { return (v * 63 + 127) / 255; };
  std::vector<std::vector<uint32_t>> rows555 = coarse, rows565 = coarse;
  for (size_t y = 0; y < coarse.size(); ++y)
    for (size_t x = 0; x < coarse[y].size(); ++x) {
      const uint32_t c = coarse[y][x], r = c & 0xFF, g = (c >> 8) & 0xFF, b = c >> 16;
      rows555[y][x] = (to5(r) << 10) | (to5(g) << 5) | to5(b);
      rows565[y][x] = (to5(r) << 11) | (to6(g) << 5) | to5(b);
    }
  BmpShape s555;
  s555.width = 3;
  s555.height = 2;
  s555.bitCount = 16;
  s555.pixels = PackDirect(rows555, 2);
  const auto b555 = LoadBmp(MakeBmp(s555));
  ASSERT_TRUE(b555);
  EXPECT_EQ(b555->Pixel(0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(b555->Pixel(2, 1), Rgb(255, 255, 255));
  EXPECT_EQ(b555->Pixel(1, 1), Rgb(132, 66, 33));  // 16, 8, 4 of 31
  BmpShape s565 = s555;
  s565.compression = 3;
  s565.masks = {0xF800, 0x07E0, 0x001F};
  s565.pixels = PackDirect(rows565, 2);
  const auto b565 = LoadBmp(MakeBmp(s565));
  ASSERT_TRUE(b565);
  EXPECT_EQ(b565->Pixel(1, 0), Rgb(0, 255, 0));
  EXPECT_EQ(b565->Pixel(1, 1), Rgb(132, 65, 33));  // green 16 of 63
  // Four-bit channels in a V4 header widen by repeating: 15 -> 255, 8 -> 136.
  BmpShape v4;
  v4.headerBytes = 108;
  v4.width = 2;
  v4.height = 1;
  v4.bitCount = 16;
  v4.compression = 3;
  v4.masks = {0x0F00, 0x00F0, 0x000F};
  v4.pixels = PackDirect({{0x0F80, 0x008F}}, 2);
  ExpectPixels(LoadBmp(MakeBmp(v4)), {{Rgb(255, 136, 0), Rgb(0, 136, 255)}}, "V4 4-4-4");
}

TEST(BmpDecoder, RunLengthStreamsAreClippedAndLeaveSkippedPixelsBlack) {
  // RLE8, 6 x 4, rows stored bottom first.
  const std::string rle8(
      "\x03\x01"                  // 1 1 1
      "\x00\x03\x02\x03\x02\x00"  // literal 2 3 2, padded
      "\x00\x00"                  // end of line
      "\x0A\x04"                  // ten 4s: clipped at the right edge
      "\x00\x00"
      "\x00\x02\x02\x01"  // move 2 right and 1 up: row 2 stays empty
      "\x02\x05"
      "\x00\x01",  // end of bitmap
      22);
  const uint32_t p1 = PaletteColour(1), p2 = PaletteColour(2), p3 = PaletteColour(3),
                 p4 = PaletteColour(4), p5 = PaletteColour(5);
  const std::vector<std::vector<uint32_t>> expected8 = {
      {kBlack, kBlack, p5, p5, kBlack, kBlack},
      std::vector<uint32_t>(6, kBlack),
      std::vector<uint32_t>(6, p4),
      {p1, p1, p1, p2, p3, p2}};
  BmpShape s;
  s.width = 6;
  s.height = 4;
  s.bitCount = 8;
  s.compression = 1;
  s.palette = MakePalette(Palette(256));
  s.pixels = rle8;
  ExpectPixels(LoadBmp(MakeBmp(s)), expected8, "RLE8");
  s.height = -4;
  ExpectPixels(LoadBmp(MakeBmp(s)), {expected8[3], expected8[2], expected8[1], expected8[0]},
               "RLE8 top-down");
  s.height = 4;

  // Streams that stop early: without the end code after a full last row is
  // fine; in the middle of the picture, or inside a literal, it is not.
  s.pixels = rle8.substr(0, rle8.size() - 2);
  EXPECT_TRUE(LoadBmp(MakeBmp(s))) << "only the end code missing";
  s.pixels = rle8.substr(0, 12);
  EXPECT_FALSE(LoadBmp(MakeBmp(s))) << "stops after the second row";
  s.pixels = std::string("\x00\x00\x00\x00\x00\x00\x00\x09\x01\x02", 10);
  EXPECT_FALSE(LoadBmp(MakeBmp(s))) << "literal longer than the data";
  // A move far past the last row ends the picture.
  s.pixels = std::string("\x02\x07\x00\x02\xFF\xFF\x02\x07", 8);
  const auto moved = LoadBmp(MakeBmp(s));
  ASSERT_TRUE(moved);
  EXPECT_EQ(moved->Pixel(0, 3), PaletteColour(7));
  EXPECT_EQ(moved->Pixel(0, 2), kBlack);

  // RLE4, 6 x 2: runs alternate their two nibbles; odd literals pad.
  BmpShape s4;
  s4.width = 6;
  s4.height = 2;
  s4.bitCount = 4;
  s4.compression = 2;
  s4.palette = MakePalette(Palette(16));
  s4.pixels = std::string(
      "\x05\x12\x00\x00"
      "\x00\x05\x34\x56\x70\x00"
      "\x00\x01",
      12);
  ExpectPixels(LoadBmp(MakeBmp(s4)),
               {{PaletteColour(3), PaletteColour(4), PaletteColour(5), PaletteColour(6),
                 PaletteColour(7), kBlack},
                {p1, p2, p1, p2, p1, kBlack}},
               "RLE4");
}

TEST(BmpDecoder, ToleratesCommonWriterSlips) {
  BmpShape s;
  s.width = 3;
  s.height = 2;
  s.bitCount = 8;
  s.palette = MakePalette(Palette(256));
  s.pixels = PackIndexed({{1, 2, 3}, {4, 5, 6}}, 8);
  s.zeroOffset = true;  // pixels follow the palette
  ExpectPixels(LoadBmp(MakeBmp(s)),
               {{PaletteColour(1), PaletteColour(2), PaletteColour(3)},
                {PaletteColour(4), PaletteColour(5), PaletteColour(6)}},
               "zero pixel offset");
  // The padding of the last row (the top row, stored last) left off.
  s.zeroOffset = false;
  std::string file = MakeBmp(s);
  file.pop_back();
  EXPECT_TRUE(LoadBmp(file));
  file.pop_back();  // now a pixel is missing
  EXPECT_FALSE(LoadBmp(file));
}

TEST(BmpDecoder, RefusesMalformedTruncatedAndOversizedFiles) {
  BmpShape good;
  good.width = 5;
  good.height = 4;
  good.bitCount = 24;
  good.pixels = std::string(16 * 4, '\x7F');
  const std::string file = MakeBmp(good);
  ASSERT_TRUE(LoadBmp(file));
  // Every cut short of the last pixel (the final row's padding may go).
  for (size_t n = 0; n < file.size() - 1; ++n)
    EXPECT_FALSE(LoadBmp(file.substr(0, n))) << "length " << n;

  auto refused = [&](BmpShape s, const std::string& what) {
    const std::string f = MakeBmp(s);
    EXPECT_FALSE(LoadBmp(f)) << what;
    EXPECT_FALSE(BmpSize(f)) << what;
  };
  auto with = [&](auto change) {
    BmpShape s = good;
    change(s);
    return s;
  };
  refused(with([](BmpShape& s) { s.width = s.height = 100000; }), "100000 x 100000");
  refused(with([](BmpShape& s) { s.width = s.height = 10000; }), "100 megapixels");
  refused(with([](BmpShape& s) { s.width = 70000, s.height = 1; }), "side over the limit");
  refused(with([](BmpShape& s) { s.width = 0; }), "zero width");
  refused(with([](BmpShape& s) { s.height = 0; }), "zero height");
  refused(with([](BmpShape& s) { s.width = -5; }), "negative width");
  refused(with([](BmpShape& s) { s.height = INT32_MIN; }), "height -2^31");
  refused(with([](BmpShape& s) { s.bitCount = 2; }), "2 bits");
  refused(with([](BmpShape& s) { s.bitCount = 7; }), "7 bits");
  refused(with([](BmpShape& s) { s.compression = 1; }), "RLE8 at 24 bits");
  refused(with([](BmpShape& s) { s.compression = 3; }), "bit fields at 24 bits");
  refused(with([](BmpShape& s) { s.compression = 4; }), "embedded JPEG");
  refused(with([](BmpShape& s) { s.headerBytes = 20; }), "unknown header size");
  refused(with([](BmpShape& s) {
            s.headerBytes = 64;
            s.bitCount = 1;
            s.compression = 3;
          }),
          "OS/2 Huffman");
  refused(with([](BmpShape& s) {
            s.bitCount = 16;
            s.compression = 3;
            s.pixels.clear();
          }),
          "masks cut off");

  std::string f = file;
  SetU32(f, 14, 4000);  // header longer than the file
  EXPECT_FALSE(LoadBmp(f));
  f = file;
  SetU32(f, 10, static_cast<uint32_t>(f.size()));  // pixels past the end
  EXPECT_FALSE(LoadBmp(f));
  EXPECT_FALSE(LoadBmp("BM"));
  EXPECT_FALSE(LoadBmp(""));
  EXPECT_FALSE(LoadBmp(std::string(200, 'B')));
}
