// Decoding speed of a page-sized picture: a 1200 x 1800 illustration as
// baseline and progressive JPEG and as 24-bit BMP, and the header-only size
// probe that line building uses.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "platform/Picture.h"

namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 1800;

uint8_t Sample(int x, int y, int c) {
  return static_cast<uint8_t>((x * (c + 1) + y * (3 - c) + ((x ^ y) & 31)) & 0xFF);
}

std::string MakeJpeg(bool progressive) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = kWidth;
  c.image_height = kHeight;
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 85, TRUE);
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> row(kWidth * 3);
  while (c.next_scanline < c.image_height) {
    for (int x = 0; x < kWidth; ++x)
      for (int ch = 0; ch < 3; ++ch)
        row[static_cast<size_t>(x * 3 + ch)] = Sample(x, static_cast<int>(c.next_scanline), ch);
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&c, &p, 1);
  }
  jpeg_finish_compress(&c);
  std::string out(reinterpret_cast<const char*>(buffer), size);
  jpeg_destroy_compress(&c);
  std::free(buffer);
  return out;
}

void Put32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string MakeBmp() {
  const uint32_t stride = (kWidth * 3 + 3) & ~3u;
  std::string f = "BM";
  Put32(f, 54 + stride * kHeight);
  Put32(f, 0);
  Put32(f, 54);
  Put32(f, 40);
  Put32(f, kWidth);
  Put32(f, kHeight);
  Put32(f, 1 | (24 << 16));
  for (int i = 0; i < 6; ++i) Put32(f, 0);
  for (int y = kHeight - 1; y >= 0; --y) {
    for (int x = 0; x < kWidth; ++x)
      for (int ch = 2; ch >= 0; --ch) f += static_cast<char>(Sample(x, y, ch));
    f.resize(f.size() + stride - kWidth * 3, '\0');
  }
  return f;
}

void BM_DecodeJpegBaseline(benchmark::State& state) {
  const std::string file = MakeJpeg(false);
  for (auto _ : state) benchmark::DoNotOptimize(rpv::DecodePicture(file));
}
BENCHMARK(BM_DecodeJpegBaseline)->Unit(benchmark::kMillisecond);

void BM_DecodeJpegProgressive(benchmark::State& state) {
  const std::string file = MakeJpeg(true);
  for (auto _ : state) benchmark::DoNotOptimize(rpv::DecodePicture(file));
}
BENCHMARK(BM_DecodeJpegProgressive)->Unit(benchmark::kMillisecond);

void BM_DecodeBmp24(benchmark::State& state) {
  const std::string file = MakeBmp();
  for (auto _ : state) benchmark::DoNotOptimize(rpv::DecodePicture(file));
}
BENCHMARK(BM_DecodeBmp24)->Unit(benchmark::kMillisecond);

void BM_JpegSizeOnly(benchmark::State& state) {
  const std::string file = MakeJpeg(false);
  for (auto _ : state) benchmark::DoNotOptimize(rpv::DecodePictureSize(file));
}
BENCHMARK(BM_JpegSizeOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
