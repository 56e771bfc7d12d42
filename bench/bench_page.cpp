// Page drawing speed: a full 1920 x 1080 page of the sample book in the
// default vertical style, with and without 2 x 2 supersampling, and the
// whole road of a 10 MB book (read, lay out, draw page 10).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "import/MbScan.h"
#include "import/ReadingPosition.h"
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
    // The worst case: only the sample's long paragraphs (ruby, punctuation,
    // tate-chu-yoko), so every line of the page is full.
    std::string dense;
    for (size_t pos = 0; pos < sample.size();) {
      size_t end = sample.find("\r\n", pos);
      if (end == std::string::npos) end = sample.size();
      const std::string line = sample.substr(pos, end - pos);
      if (line.size() > 60 && line[0] != '-') dense += line + "\r\n";
      pos = end + 2;
    }
    std::string denseBook;
    for (int k = 0; k < 40; ++k) denseBook += dense;
    full = FromNativePath(dir / "dense.txt");
    WriteFileAtomic(full, denseBook);
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
  std::string info, small, full, large;
};

const TBenchFiles& Files() {
  static const TBenchFiles files;
  return files;
}

// The second page of the book.
void DrawPageBench(benchmark::State& state, const char* style, const std::string& file) {
  TBookClass book;
  book.LoadStyle(Files().info, style, 96);
  book.SetPageWidth(1920);
  book.SetPageHeight(1080);
  book.LoadFromFile(file);
  book.BuildLines(0);
  const int32_t first = book.LinesPerPage();
  book.DrawPage(first);  // fonts opened, glyphs rasterised once
  for (auto _ : state) {
    book.DrawPage(first);
    benchmark::DoNotOptimize(book.PageBitmap.Row(0));
  }
  size_t chars = 0;
  for (int32_t i = first; i < first + book.LinesPerPage() && i < book.LineCount(); ++i)
    chars += static_cast<size_t>(VisibleCharCount(book.DisplayLines.Item(i)->Text));
  state.counters["lines"] = book.LinesPerPage();
  state.counters["chars"] = static_cast<double>(chars);
}

void BM_DrawPage(benchmark::State& state) { DrawPageBench(state, "Default", Files().small); }
void BM_DrawPageAntiAliased(benchmark::State& state) { DrawPageBench(state, "AA", Files().small); }
void BM_DrawDensePage(benchmark::State& state) { DrawPageBench(state, "Default", Files().full); }
void BM_DrawDensePageAntiAliased(benchmark::State& state) { DrawPageBench(state, "AA", Files().full); }

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
BENCHMARK(BM_DrawDensePage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawDensePageAntiAliased)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenBookAndDrawPage10)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
