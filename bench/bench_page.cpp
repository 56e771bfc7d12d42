// Page drawing speed: a full 1920 x 1080 page of the sample book in the
// default vertical style, with and without 2 x 2 supersampling, and the
// whole road of a 10 MB book (read, lay out, draw page 10).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/FileIO.h"
#include "render/BookClass.h"

namespace {

using namespace rpv;

// A folder of its own with info.ini (styles "Default" and "AA") and two
// books made of the sample: one of a few dozen pages, one of 10 MB.
struct TBenchFiles {
  TBenchFiles() {
    dir = std::filesystem::temp_directory_path() / ("rpv_bench_page_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    info = FromNativePath(dir / "info.ini");
    TInfo plain;
    plain.WriteStyle(info, "Default");
    TInfo aa;
    aa.AntiAliasing = 2;
    aa.WriteStyle(info, "AA");
    const std::string sample = ReadWholeFile(RPV_SOURCE_DIR "/samples/sample.sjis.txt").value_or("");
    std::string book;
    for (int k = 0; k < 20; ++k) book += sample;
    small = FromNativePath(dir / "book.txt");
    WriteFileAtomic(small, book);
    std::string big;
    big.reserve(10u << 20);
    while (big.size() < (10u << 20)) big += sample;
    big.resize(10u << 20);
    large = FromNativePath(dir / "big.txt");
    WriteFileAtomic(large, big);
  }
  ~TBenchFiles() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  std::filesystem::path dir;
  std::string info, small, large;
};

const TBenchFiles& Files() {
  static const TBenchFiles files;
  return files;
}

// The second page: full of body text, ruby and punctuation.
void DrawPageBench(benchmark::State& state, const char* style) {
  TBookClass book;
  book.LoadStyle(Files().info, style, 96);
  book.SetPageWidth(1920);
  book.SetPageHeight(1080);
  book.LoadFromFile(Files().small);
  book.BuildLines(0);
  const int32_t first = book.LinesPerPage();
  book.DrawPage(first);  // fonts opened, glyphs rasterised once
  for (auto _ : state) {
    book.DrawPage(first);
    benchmark::DoNotOptimize(book.PageBitmap.Row(0));
  }
  state.counters["lines"] = book.LinesPerPage();
}

void BM_DrawPage(benchmark::State& state) { DrawPageBench(state, "Default"); }
void BM_DrawPageAntiAliased(benchmark::State& state) { DrawPageBench(state, "AA"); }

void BM_OpenBookAndDrawPage10(benchmark::State& state) {
  for (auto _ : state) {
    TBookClass book;
    book.LoadStyle(Files().info, "Default", 96);
    book.SetPageWidth(1920);
    book.SetPageHeight(1080);
    book.LoadFromFile(Files().large);
    book.BuildLines(0);
    book.DrawPage(9 * book.LinesPerPage());
    benchmark::DoNotOptimize(book.PageBitmap.Row(0));
  }
}

}  // namespace

BENCHMARK(BM_DrawPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawPageAntiAliased)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenBookAndDrawPage10)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
