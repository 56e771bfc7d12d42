// Decoding speed of a page-sized picture: a 1200 x 1800 illustration as
// baseline and progressive JPEG and as 24-bit BMP, and the header-only size
// probe that line building uses.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Picture.h"
#include "tests/platform/PictureTestData.h"

namespace {

using namespace rpv::testdata;

constexpr int kWidth = 1200;
constexpr int kHeight = 1800;

uint8_t Sample(int x, int y, int c) {
  return static_cast<uint8_t>((x * (c + 1) + y * (3 - c) + ((x ^ y) & 31)) & 0xFF);
}

std::string MakeJpeg(bool progressive) {
  JpegShape shape;
  shape.width = kWidth;
  shape.height = kHeight;
  shape.quality = 85;
  shape.progressive = progressive;
  return rpv::testdata::MakeJpeg(shape, Sample);
}

std::string MakeBmp() {
  // Channels 0, 1, 2 are red, green, blue; a 24-bit BMP stores blue first.
  std::vector<std::vector<uint32_t>> rows(kHeight, std::vector<uint32_t>(kWidth));
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      rows[static_cast<size_t>(y)][static_cast<size_t>(x)] =
          Sample(x, y, 2) | (Sample(x, y, 1) << 8) | (Sample(x, y, 0) << 16);
  BmpShape shape;
  shape.width = kWidth;
  shape.height = kHeight;
  shape.pixels = PackDirect(rows, 3);
  return rpv::testdata::MakeBmp(shape);
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
