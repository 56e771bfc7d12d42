#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include <png.h>

#include "platform/FileIO.h"
#include "platform/Picture.h"
#include "platform/PngWriter.h"
#include "tests/platform/PictureTestData.h"
#include "tests/support/TestSupport.h"

using namespace rpv;
using namespace rpv::testdata;

namespace {

std::string SmallBmp(uint16_t bits, uint32_t compression = 0) {
  BmpShape s;
  s.width = 5;
  s.height = 3;
  s.bitCount = bits;
  s.compression = compression;
  if (bits <= 8) {
    std::vector<uint32_t> pal;
    for (int i = 0; i < (1 << bits); ++i) pal.push_back(Rgb(i * 3, 255 - i, i * 7 & 0xFF));
    s.palette = MakePalette(pal);
  }
  if (compression == 1) {
    s.pixels = std::string("\x03\x01\x00\x03\x02\x03\x04\x00\x00\x00\x02\x09\x00\x00\x00\x01", 16);
  } else if (compression == 2) {
    s.pixels = std::string("\x04\x12\x00\x00\x00\x03\x34\x50\x00\x00\x00\x01", 12);
  } else if (compression == 3) {
    s.masks = {0xF800, 0x07E0, 0x001F};
    s.pixels = std::string(12 * 3, '\x5A');
  } else {
    std::vector<std::vector<int>> idx(3, std::vector<int>(5));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) idx[y][x] = (x * 5 + y * 3) % (bits <= 8 ? (1 << bits) : 256);
    if (bits <= 8) {
      s.pixels = PackIndexed(idx, bits);
    } else {
      std::vector<std::vector<uint32_t>> px(3, std::vector<uint32_t>(5));
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) px[y][x] = static_cast<uint32_t>(idx[y][x]) * 0x01020305u;
      s.pixels = PackDirect(px, bits / 8);
    }
  }
  return MakeBmp(s);
}

std::string SmallJpeg(bool progressive, int components = 3) {
  JpegShape s;
  s.width = 24;
  s.height = 16;
  s.progressive = progressive;
  s.components = components;
  s.inSpace = components == 1 ? JCS_GRAYSCALE : components == 4 ? JCS_CMYK : JCS_RGB;
  s.fileSpace = components == 1 ? JCS_GRAYSCALE : components == 4 ? JCS_YCCK : JCS_YCbCr;
  s.quality = 75;
  return MakeJpeg(s, [](int x, int y, int c) { return static_cast<uint8_t>(x * 9 + y * 5 + c * 80); });
}

// A 6 x 4 picture of distinct colours, as our own PNG writer stores it.
TBitmap24 Gradient() {
  TBitmap24 b(6, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) b.SetPixel(x, y, Rgb(x * 40, y * 60, 200 - x * y * 8));
  return b;
}

std::string SmallPng() {
  std::string out;
  EXPECT_TRUE(EncodePng(Gradient(), out));
  return out;
}

// A 2 x 1 RGBA PNG: an opaque red pixel and a fully transparent "black" one.
std::string AlphaPng() {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = 2;
  image.height = 1;
  image.format = PNG_FORMAT_RGBA;
  const uint8_t pixels[8] = {255, 0, 0, 255, 0, 0, 0, 0};
  png_alloc_size_t size = 0;
  EXPECT_NE(png_image_write_get_memory_size(image, size, 0, pixels, 0, nullptr), 0);
  std::string out(size, '\0');
  EXPECT_NE(png_image_write_to_memory(&image, out.data(), &size, 0, pixels, 0, nullptr), 0);
  out.resize(size);
  return out;
}

std::vector<std::string> Samples() {
  std::vector<std::string> samples = {SmallBmp(1),      SmallBmp(4),     SmallBmp(8),
                                      SmallBmp(16),     SmallBmp(24),    SmallBmp(32),
                                      SmallBmp(8, 1),   SmallBmp(4, 2),  SmallBmp(16, 3),
                                      SmallJpeg(false), SmallJpeg(true), SmallJpeg(false, 1),
                                      SmallJpeg(false, 4), SmallPng(),     AlphaPng()};
  for (const std::string& sample : samples) EXPECT_TRUE(DecodePicture(sample));
  return samples;
}

// Loaded pictures stay in the limits and have the size their headers give.
void ExpectSane(const std::string& bytes, const std::string& what) {
  const auto picture = DecodePicture(bytes);
  if (!picture) return;
  ASSERT_TRUE(PictureSizeAllowed(picture->Width(), picture->Height())) << what;
  const auto size = DecodePictureSize(bytes);
  ASSERT_TRUE(size) << what;
  EXPECT_EQ(*size, (TPictureSize{picture->Width(), picture->Height()})) << what;
}


}  // namespace

TEST(Picture, FilesAreReadByContentNotByName) {
  const test::TTempFolder dir("rpv_picture_");
  const std::string jpeg = SmallJpeg(false);
  const std::string bmp = SmallBmp(24);
  EXPECT_EQ(SniffPictureFormat(jpeg), TPictureFormat::Jpeg);
  EXPECT_EQ(SniffPictureFormat(bmp), TPictureFormat::Bmp);
  EXPECT_EQ(SniffPictureFormat("GIF89a"), TPictureFormat::Unknown);

  const std::string jpegAsBmp = dir.Write(test::S("挿絵.bmp"), jpeg);
  const std::string bmpAsJpg = dir.Write(test::S("図版.jpg"), bmp);
  const auto a = LoadPicture(jpegAsBmp);
  ASSERT_TRUE(a);
  EXPECT_EQ(a->Width(), 24);
  EXPECT_EQ(LoadPictureSize(jpegAsBmp), (TPictureSize{24, 16}));
  const auto b = LoadPicture(bmpAsJpg);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->Width(), 5);
  EXPECT_EQ(LoadPictureSize(bmpAsJpg), (TPictureSize{5, 3}));

  // A PNG named .jpg is read as a PNG: the same pixels it was written with.
  const std::string png = dir.Write("a-png.jpg", SmallPng());
  const auto c = LoadPicture(png);
  ASSERT_TRUE(c);
  EXPECT_EQ(LoadPictureSize(png), (TPictureSize{6, 4}));
  const TBitmap24 gradient = Gradient();
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(c->Pixel(x, y), gradient.Pixel(x, y)) << x << "," << y;
  // Transparency lies over white paper.
  const auto alpha = DecodePicture(AlphaPng());
  ASSERT_TRUE(alpha);
  EXPECT_EQ(alpha->Pixel(0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(alpha->Pixel(1, 0), Rgb(255, 255, 255));
  // Cut short, or claiming a size beyond the limits: not loaded.
  const std::string whole = SmallPng();
  EXPECT_FALSE(DecodePicture(whole.substr(0, whole.size() - 20)));
  std::string huge = whole;
  huge[16] = '\x7F';  // width 0x7F000006
  EXPECT_FALSE(DecodePictureSize(huge));
  EXPECT_FALSE(DecodePicture(huge));

  // Not a picture, empty, missing, a folder: all simply not loaded.
  EXPECT_FALSE(LoadPicture(dir.Write("a.jpg", "GIF89a\x01\x00")));
  EXPECT_FALSE(LoadPicture(dir.Write("empty.bmp", "")));
  EXPECT_FALSE(LoadPicture(dir.Write("x", "") + "-missing.bmp"));
  EXPECT_FALSE(LoadPictureSize(FromNativePath(std::filesystem::temp_directory_path())));
}

// Every byte of small valid files, replaced in turn by a few values, must
// decode to a sane picture or to nothing; the sanitizer build turns any
// out-of-bounds access on the way into a failure.
TEST(Picture, SurvivesEveryOneByteMutation) {
  const std::vector<std::string> samples = Samples();
  size_t tried = 0;
  for (size_t s = 0; s < samples.size(); ++s) {
    for (size_t i = 0; i < samples[s].size(); ++i) {
      const auto original = static_cast<uint8_t>(samples[s][i]);
      for (uint8_t value : {uint8_t{0x00}, uint8_t{0xFF}, static_cast<uint8_t>(original ^ 0x80),
                            static_cast<uint8_t>(original + 1)}) {
        if (value == original) continue;
        std::string m = samples[s];
        m[i] = static_cast<char>(value);
        ++tried;
        ExpectSane(m, "sample " + std::to_string(s) + " byte " + std::to_string(i));
      }
    }
  }
  EXPECT_GT(tried, 5000u);
}

// Several bytes damaged at once, sometimes cut short as well: a fixed seed
// keeps failures reproducible.
TEST(Picture, SurvivesRandomDamage) {
  const std::vector<std::string> samples = Samples();
  std::mt19937 random(20240601);
  for (int round = 0; round < 4000; ++round) {
    std::string m = samples[random() % samples.size()];
    const int changes = 1 + static_cast<int>(random() % 6);
    for (int c = 0; c < changes; ++c) m[random() % m.size()] = static_cast<char>(random());
    if (random() % 4 == 0) m.resize(random() % m.size());
    ExpectSane(m, "round " + std::to_string(round));
  }
}
