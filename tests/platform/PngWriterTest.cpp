// PNG export: what is written reads back pixel for pixel; failures report.
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/FileIO.h"
#include "platform/PngWriter.h"
#include "tests/support/TestSupport.h"

namespace rpv {
namespace {

// Decodes with libpng's simplified reader into RGB rows.
bool DecodePng(const std::string& data, int& w, int& h, std::vector<uint8_t>& rgb) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) return false;
  image.format = PNG_FORMAT_RGB;
  rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return false;
  w = static_cast<int>(image.width);
  h = static_cast<int>(image.height);
  return true;
}

TEST(PngWriter, WrittenPixelsReadBack) {
  TBitmap24 bmp(5, 3);  // a width whose rows need padding
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) bmp.SetPixel(x, y, static_cast<uint32_t>(x * 40 | (y * 90) << 8 | 7 << 16));
  const test::TTempFolder temp("rpv-png-");
  const std::string path = (temp.Native() / "page.png").string();
  std::string error;
  ASSERT_TRUE(WritePng(bmp, path, &error)) << error;
  const auto data = ReadWholeFile(path);
  ASSERT_TRUE(data.has_value());
  int w = 0, h = 0;
  std::vector<uint8_t> rgb;
  ASSERT_TRUE(DecodePng(*data, w, h, rgb));
  ASSERT_EQ(w, 5);
  ASSERT_EQ(h, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) {
      const uint8_t* p = &rgb[(y * 5 + x) * 3];
      EXPECT_EQ(p[0], x * 40);
      EXPECT_EQ(p[1], y * 90);
      EXPECT_EQ(p[2], 7);
    }
}

TEST(PngWriter, FailuresAreReported) {
  std::string error;
  std::string out = "old";
  EXPECT_FALSE(EncodePng(TBitmap24(), out, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(out.empty());
  error.clear();
  // Wider than PNG allows: libpng refuses, the writer reports it.
  TBitmap24 tooWide(1000001, 1);
  EXPECT_FALSE(EncodePng(tooWide, out, &error));
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_FALSE(WritePng(TBitmap24(2, 2), "/nonexistent-rpv-folder/x/page.png", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(WritePng(TBitmap24(2, 2), "/nonexistent-rpv-folder/x/page.png"));
}

}  // namespace
}  // namespace rpv
