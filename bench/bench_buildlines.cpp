// Line building of a 10 MB book (the sample book repeated), vertical and
// horizontal, default style at 96 dpi on an 800 x 600 page, and of a book of
// bare line feeds. Reports the
// throughput over the book's bytes and, as counters, the peak heap that
// loading plus building takes relative to the text size.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

#include "import/CustomBookClass.h"
#include "import/LayoutJob.h"
#include "platform/FileIO.h"

namespace {

// Heap accounting through the global allocation functions: what is live and
// the highest it has been since the last reset, in allocator chunk bytes.
// Counting is on only while the memory benchmark runs, so it does not slow
// the throughput benchmark down.
std::atomic<bool> g_counting{false};
std::atomic<size_t> g_live{0};
std::atomic<size_t> g_peak{0};

void Count(void* p) {
  if (p == nullptr || !g_counting.load(std::memory_order_relaxed)) return;
  const size_t n = malloc_usable_size(p) + sizeof(size_t);
  const size_t now = g_live.fetch_add(n) + n;
  size_t peak = g_peak.load();
  while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
  }
}

void Uncount(void* p) {
  if (p != nullptr && g_counting.load(std::memory_order_relaxed))
    g_live.fetch_sub(malloc_usable_size(p) + sizeof(size_t));
}

void ResetPeak() { g_peak.store(g_live.load()); }

}  // namespace

// The replacements below pair malloc with free themselves.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(size_t n) {
  void* p = std::malloc(n == 0 ? 1 : n);
  if (p == nullptr) throw std::bad_alloc();
  Count(p);
  return p;
}
void* operator new[](size_t n) { return operator new(n); }
void operator delete(void* p) noexcept {
  Uncount(p);
  std::free(p);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, size_t) noexcept { operator delete(p); }
void operator delete[](void* p, size_t) noexcept { operator delete(p); }

namespace {

constexpr size_t kBookBytes = 10u * 1024 * 1024;

// The sample repeated to 10 MB, written once to a temporary file that goes
// when the program ends.
struct TTempBook {
  std::string Path;
  TTempBook() {
    const auto sample = rpv::ReadWholeFile(RPV_SOURCE_DIR "/samples/sample.sjis.txt");
    if (!sample || sample->empty()) std::abort();
    std::string text;
    text.reserve(kBookBytes + sample->size());
    while (text.size() < kBookBytes) text += *sample;
    Path = (std::filesystem::temp_directory_path() /
            ("rpv_bench_book_" + std::to_string(getpid()) + ".txt"))
               .string();
    if (!rpv::WriteFileAtomic(Path, text)) std::abort();
  }
  ~TTempBook() {
    std::error_code ec;
    std::filesystem::remove(Path, ec);
  }
};

const std::string& BookPath() {
  static const TTempBook book;
  return book.Path;
}

void Configure(rpv::TCustomBook& book, bool vertical) {
  book.Style.ScreenDpi = 96;
  book.Style.Direction = vertical ? rpv::kDirectionVertical : rpv::kDirectionHorizontal;
  book.SetPageWidth(800);
  book.SetPageHeight(600);
}

void BM_BuildLines(benchmark::State& state) {
  const bool vertical = state.range(0) != 0;
  const std::string& path = BookPath();
  rpv::TCustomBook book;
  Configure(book, vertical);
  book.LayoutThreads = static_cast<int>(state.range(1));
  book.LoadFromFile(path);
  const size_t bytes = book.SourceText.Text().size();
  for (auto _ : state) {
    benchmark::DoNotOptimize(book.BuildLines(1000));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["display_lines"] = book.DisplayLines.Count();
  state.counters["pages"] = book.PageCount;
  state.SetLabel(std::string(vertical ? "vertical" : "horizontal") + ", " +
                 std::to_string(book.LayoutThreads) + " thread(s)");
}
BENCHMARK(BM_BuildLines)
    ->ArgsProduct({{1, 0}, {1, 2, 4}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The first page of a fresh layout, as the window gets it: the job's first
// small batch, which holds more lines than a page.
void BM_FirstPage(benchmark::State& state) {
  rpv::TCustomBook book;
  Configure(book, true);
  book.LoadFromFile(BookPath());
  int32_t lines = 0;
  for (auto _ : state) {
    const auto job = book.StartLayout(1);
    rpv::TLines display;
    job->Step(256, display);
    lines = display.Count();
  }
  state.counters["lines"] = lines;
  state.counters["lines_per_page"] = book.Style.LinesPerColumn() * book.Style.Columns();
}
BENCHMARK(BM_FirstPage)->Unit(benchmark::kMicrosecond);

// Loading and building in one go, from an empty document: the peak heap the
// document reaches against the size of the file.
void BM_LoadAndBuildMemory(benchmark::State& state) {
  const bool vertical = state.range(0) != 0;
  const std::string& path = BookPath();
  const auto fileBytes = static_cast<double>(std::filesystem::file_size(path));
  double peakRatio = 0;
  double keptRatio = 0;
  double loadedRatio = 0;
  double loadPeakRatio = 0;
  for (auto _ : state) {
    // Everything the document allocates is also freed inside the counted
    // span, so the counts stay balanced.
    g_live.store(0);
    const size_t before = 0;
    ResetPeak();
    g_counting.store(true);
    {
      rpv::TCustomBook book;
      Configure(book, vertical);
      book.LoadFromFile(path);
      loadedRatio = static_cast<double>(g_live.load() - before) / fileBytes;
      loadPeakRatio = static_cast<double>(g_peak.load() - before) / fileBytes;
      book.BuildLines(0);
      keptRatio = static_cast<double>(g_live.load() - before) / fileBytes;
    }
    g_counting.store(false);
    peakRatio = static_cast<double>(g_peak.load() - before) / fileBytes;
  }
  state.counters["peak_x_text"] = peakRatio;
  state.counters["kept_x_text"] = keptRatio;
  state.counters["loaded_x_text"] = loadedRatio;
  state.counters["load_peak_x_text"] = loadPeakRatio;
  state.SetLabel(vertical ? "vertical" : "horizontal");
}
BENCHMARK(BM_LoadAndBuildMemory)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(2);

// A book of nothing but line feeds (5 MB, as many lines as bytes): the peak
// heap per line of loading plus building, and the time.
void BM_BlankLinesBook(benchmark::State& state) {
  constexpr size_t kLines = 5'000'000;
  const std::string text(kLines, '\n');
  double peakPerLine = 0;
  for (auto _ : state) {
    g_live.store(0);
    ResetPeak();
    g_counting.store(true);
    {
      rpv::TCustomBook book;
      Configure(book, true);
      book.SourceText.SetText(text);
      benchmark::DoNotOptimize(book.BuildLines(1000));
    }
    g_counting.store(false);
    peakPerLine = static_cast<double>(g_peak.load()) / kLines;
  }
  state.counters["peak_bytes_per_line"] = peakPerLine;
}
BENCHMARK(BM_BlankLinesBook)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
