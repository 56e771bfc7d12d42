#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Picture.h"
#include "tests/platform/PictureTestData.h"

using namespace rpv;
using namespace rpv::testdata;

namespace {

// 48 x 32: six flat 16 x 16 blocks, so chroma subsampling never mixes them.
const uint32_t kBlocks[6] = {Rgb(255, 0, 0),   Rgb(0, 255, 0),   Rgb(0, 0, 255),
                             Rgb(255, 255, 255), Rgb(0, 0, 0), Rgb(200, 120, 40)};
int BlockAt(int x, int y) { return (y / 16) * 3 + x / 16; }

uint8_t RgbSample(int x, int y, int c) {
  return static_cast<uint8_t>(kBlocks[BlockAt(x, y)] >> (8 * c));
}

JpegShape ColourShape(bool progressive = false) {
  JpegShape s;
  s.width = 48;
  s.height = 32;
  s.progressive = progressive;
  return s;
}

// Compares the centre of each block with its colour, channel by channel.
void ExpectBlocks(const std::optional<TBitmap24>& bmp, const uint32_t (&colours)[6], int tolerance,
                  const std::string& what) {
  ASSERT_TRUE(bmp.has_value()) << what;
  ASSERT_EQ(bmp->Width(), 48) << what;
  ASSERT_EQ(bmp->Height(), 32) << what;
  for (int b = 0; b < 6; ++b) {
    const uint32_t got = bmp->Pixel((b % 3) * 16 + 8, (b / 3) * 16 + 8);
    for (int c = 0; c < 3; ++c) {
      const int g = (got >> (8 * c)) & 0xFF, e = (colours[b] >> (8 * c)) & 0xFF;
      EXPECT_LE(std::abs(g - e), tolerance) << what << " block " << b << " channel " << c;
    }
  }
}

}  // namespace

TEST(JpegDecoder, ColourGreyAndProgressiveGiveBgrRows) {
  for (bool progressive : {false, true}) {
    const std::string file = MakeJpeg(ColourShape(progressive), RgbSample);
    const std::string what = progressive ? "progressive" : "baseline";
    ExpectBlocks(LoadJpeg(file), kBlocks, 6, what);
    EXPECT_EQ(JpegSize(file), (TPictureSize{48, 32})) << what;
    // The raw bytes of the first pixel: blue, green, red.
    const auto bmp = LoadJpeg(file);
    ASSERT_TRUE(bmp);
    EXPECT_GE(bmp->Row(0)[2], 250);
    EXPECT_LE(bmp->Row(0)[0], 5);
  }

  JpegShape grey = ColourShape();
  grey.components = 1;
  grey.inSpace = JCS_GRAYSCALE;
  grey.fileSpace = JCS_GRAYSCALE;
  const uint32_t levels[6] = {Rgb(0, 0, 0),       Rgb(60, 60, 60),   Rgb(120, 120, 120),
                              Rgb(180, 180, 180), Rgb(240, 240, 240), Rgb(255, 255, 255)};
  const std::string greyFile =
      MakeJpeg(grey, [&](int x, int y, int) { return static_cast<uint8_t>(levels[BlockAt(x, y)]); });
  const auto g = LoadJpeg(greyFile);
  ExpectBlocks(g, levels, 3, "grey");
  for (int x = 0; x < 48; ++x) {  // grey stays grey: all three channels equal
    const uint8_t* p = g->Row(20) + 3 * x;
    EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]) << x;
  }
}

TEST(JpegDecoder, CmykAndYcckBecomeRgbWhicheverWayTheInkIsStored) {
  // Inks C, M, Y, K per block and the colour each gives.
  const uint8_t inks[6][4] = {{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0},
                              {0, 0, 0, 0},   {0, 0, 0, 255}, {0, 0, 0, 128}};
  const uint32_t expected[6] = {Rgb(0, 255, 255),   Rgb(255, 0, 255), Rgb(255, 255, 0),
                                Rgb(255, 255, 255), Rgb(0, 0, 0),     Rgb(127, 127, 127)};
  struct Case {
    const char* what;
    J_COLOR_SPACE fileSpace;
    bool adobe;
  };
  // Adobe's writers (marked by their APP14 segment) store 255 - ink.
  for (const Case& c : {Case{"Adobe CMYK", JCS_CMYK, true}, Case{"plain CMYK", JCS_CMYK, false},
                        Case{"YCCK", JCS_YCCK, true}}) {
    JpegShape s = ColourShape();
    s.components = 4;
    s.inSpace = JCS_CMYK;
    s.fileSpace = c.fileSpace;
    s.adobeMarker = c.adobe;
    const std::string file = MakeJpeg(s, [&](int x, int y, int ch) {
      const uint8_t ink = inks[BlockAt(x, y)][ch];
      return static_cast<uint8_t>(c.adobe ? 255 - ink : ink);
    });
    ExpectBlocks(LoadJpeg(file), expected, 8, c.what);
  }
}

TEST(JpegDecoder, RefusesTruncatedLyingAndOversizedFiles) {
  const std::string file = MakeJpeg(ColourShape(), RgbSample);
  const size_t scanStart = file.find("\xFF\xDA");
  ASSERT_NE(scanStart, std::string::npos);
  // Cut anywhere before the end of the compressed data.
  for (size_t n = 0; n + 2 < file.size(); n += (n < scanStart ? 7 : 1))
    EXPECT_FALSE(LoadJpeg(file.substr(0, n))) << "length " << n << " of " << file.size();
  // Only the end marker missing: every row is there.
  ExpectBlocks(LoadJpeg(file.substr(0, file.size() - 2)), kBlocks, 6, "no end marker");

  // A frame header claiming more rows than the data holds.
  for (bool progressive : {false, true}) {
    std::string taller = MakeJpeg(ColourShape(progressive), RgbSample);
    SetJpegSize(taller, 48, 64);
    EXPECT_FALSE(LoadJpeg(taller)) << progressive;
    EXPECT_EQ(JpegSize(taller), (TPictureSize{48, 64})) << "the header alone cannot tell";
  }
  // Claiming fewer rows shows just those.
  std::string shorter = file;
  SetJpegSize(shorter, 48, 16);
  const auto top = LoadJpeg(shorter);
  ASSERT_TRUE(top);
  EXPECT_EQ(top->Height(), 16);

  // Sizes past the limits are refused from the header, before any decoding;
  // one within them but far beyond the data fails on the data.
  std::string huge = file;
  SetJpegSize(huge, 65000, 65000);
  EXPECT_FALSE(JpegSize(huge));
  EXPECT_FALSE(LoadJpeg(huge));
  std::string wide = file;
  SetJpegSize(wide, 60000, 1000);
  EXPECT_EQ(JpegSize(wide), (TPictureSize{60000, 1000}));
  EXPECT_FALSE(LoadJpeg(wide));

  // Garbage behind a JPEG signature, and a bare start and end.
  std::string garbage = "\xFF\xD8\xFF";
  for (int i = 0; i < 500; ++i) garbage += static_cast<char>((i * 7919 + 13) & 0xFF);
  EXPECT_FALSE(LoadJpeg(garbage));
  EXPECT_FALSE(LoadJpeg("\xFF\xD8\xFF\xD9"));
  EXPECT_FALSE(LoadJpeg(""));
  // 12-bit samples are not what this library reads.
  std::string precision = file;
  precision[FindSegment(precision, 0xC0) + 2] = 12;
  EXPECT_FALSE(LoadJpeg(precision));
}

TEST(JpegDecoder, RefusesFilesWithTooManyScans) {
  // A grey progressive picture sent one coefficient per scan: 64 scans load,
  // 128 (every coefficient in two halves) are refused.
  auto scans = [](bool halves) {
    std::vector<jpeg_scan_info> list;
    const int al = halves ? 1 : 0;
    list.push_back({1, {0}, 0, 0, 0, al});
    for (int k = 1; k < 64; ++k) list.push_back({1, {0}, k, k, 0, al});
    if (halves) {
      list.push_back({1, {0}, 0, 0, 1, 0});
      for (int k = 1; k < 64; ++k) list.push_back({1, {0}, k, k, 1, 0});
    }
    return list;
  };
  JpegShape s;
  s.width = s.height = 16;
  s.components = 1;
  s.inSpace = s.fileSpace = JCS_GRAYSCALE;
  auto sample = [](int x, int y, int) { return static_cast<uint8_t>(x * 16 + y); };
  s.scans = scans(false);
  EXPECT_TRUE(LoadJpeg(MakeJpeg(s, sample)));
  s.scans = scans(true);
  EXPECT_FALSE(LoadJpeg(MakeJpeg(s, sample)));
}
