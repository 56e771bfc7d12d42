// The window's speed on a 10 MB book (the sample book repeated), in the
// default vertical style, in a 1024 x 768 window on the offscreen platform:
//   - a page step, drawn and painted;
//   - opening the book up to its first page painted, and up to the whole
//     book laid out (the layout runs beside the window);
//   - a resize: the page at the reading position painted, and the whole
//     book laid out again;
//   - a new window on 31 KB, 10 MB and 100 MB books: up to the window
//     shown with its menu, and up to the first page painted.
#include <QElapsedTimer>
#include <utility>

#include "WindowBenchSupport.h"
#include "app/LayoutRunner.h"
#include "render/BookClass.h"

namespace {

using rpv::bench::Until;

rpv::bench::TWindowFixture& Fixture() {
  static rpv::bench::TWindowFixture& fixture = rpv::bench::MakeWindowFixture("rpv_window_bench", "", false);
  return fixture;
}

void BM_OpenToFirstPage(benchmark::State& state) {
  auto& f = Fixture();
  for (auto _ : state) {
    f.form->OpenDocument(f.book, 0, "");
    Until([&] { return !f.form->AwaitingPage(); });
    benchmark::DoNotOptimize(f.form->TopLine);
    state.PauseTiming();
    Until([&] { return f.form->Book->LayoutComplete; });
    state.ResumeTiming();
  }
  state.counters["lines"] = f.form->Book->LineCount();
  state.counters["pages"] = f.form->Book->PageCount;
}
BENCHMARK(BM_OpenToFirstPage)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_OpenToWholeLayout(benchmark::State& state) {
  auto& f = Fixture();
  for (auto _ : state) {
    f.form->OpenDocument(f.book, 0, "");
    Until([&] { return f.form->Book->LayoutComplete; });
  }
}
BENCHMARK(BM_OpenToWholeLayout)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_PageStep(benchmark::State& state) {
  auto& f = Fixture();
  if (f.form->Book->FileName.empty()) f.form->OpenDocument(f.book, 0, "");
  f.form->GoToPage(1000);
  for (auto _ : state) {
    f.form->PageForward();
    benchmark::DoNotOptimize(f.form->TopLine);
  }
}
BENCHMARK(BM_PageStep)->Unit(benchmark::kMillisecond);

// The composer alone, for comparison: what the step adds is the window's.
void BM_DrawPageOnly(benchmark::State& state) {
  auto& f = Fixture();
  if (f.form->Book->FileName.empty()) f.form->OpenDocument(f.book, 0, "");
  int32_t line = f.form->Book->LinesPerPage() * 1000;
  for (auto _ : state) {
    line += f.form->Book->LinesPerPage();
    f.form->Book->DrawPage(line);
  }
}
BENCHMARK(BM_DrawPageOnly)->Unit(benchmark::kMillisecond);

// Arg: the page to read at, 1000 (early) or 12000 (past the middle of
// the book's ~21 000 pages).
void BM_Resize(benchmark::State& state) {
  auto& f = Fixture();
  if (f.form->Book->FileName.empty()) f.form->OpenDocument(f.book, 0, "");
  Until([&] { return f.form->Book->LayoutComplete; });
  f.form->GoToPage(static_cast<int32_t>(state.range(0)));
  bool wide = false;
  for (auto _ : state) {
    wide = !wide;
    f.form->resize(wide ? 1100 : 1024, wide ? 800 : 768);
    QCoreApplication::processEvents();
    Until([&] { return !f.form->AwaitingPage(); });
    benchmark::DoNotOptimize(f.form->TopLine);
    state.PauseTiming();
    Until([&] { return f.form->Book->LayoutComplete; });
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Resize)->Arg(1000)->Arg(12000)->Unit(benchmark::kMillisecond)->Iterations(6)->UseRealTime();

// A 100 MB book opened at a position 80 % of the way in (a saved place
// deep in the book), up to that page painted; the rest is not timed.
void BM_OpenDeepIn100MB(benchmark::State& state) {
  auto& f = Fixture();
  const std::string path = f.Path("deep100.txt");
  int32_t lines = 0;
  {
    const std::string sample =
        rpv::ReadWholeFile(RPV_SOURCE_DIR "/samples/sample.sjis.txt").value_or("abc\r\n");
    std::string text;
    text.reserve(100u * 1024 * 1024 + sample.size());
    while (text.size() < 100u * 1024 * 1024) text += sample;
    for (const char c : text) lines += c == '\n';
    rpv::WriteFileAtomic(path, text);
  }
  const rpv::TReadingPosition deep{lines / 10 * 8, 0};
  for (auto _ : state) {
    f.form->OpenDocument(path, deep, "");
    Until([&] { return !f.form->AwaitingPage(); });
    benchmark::DoNotOptimize(f.form->TopLine);
    state.PauseTiming();
    Until([&] { return f.form->Book->LayoutComplete; });
    state.ResumeTiming();
  }
  state.counters["line"] = deep.Line;
  state.counters["top_line"] = f.form->TopLine;
}
BENCHMARK(BM_OpenDeepIn100MB)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// A new window with the book on its command line. Arg: the book's size in
// KB. Counters: ms until the window is exposed with its menu, and until
// the first page is painted.
void BM_StartWindow(benchmark::State& state) {
  const size_t bytes = static_cast<size_t>(state.range(0)) * 1024;
  auto& f = Fixture();
  const std::string path = f.Path("start_" + std::to_string(state.range(0)) + ".txt");
  {
    const std::string sample =
        rpv::ReadWholeFile(RPV_SOURCE_DIR "/samples/sample.sjis.txt").value_or("abc\r\n");
    std::string text;
    while (text.size() + sample.size() <= bytes) text += sample;
    text += sample.substr(0, bytes - text.size());
    rpv::WriteFileAtomic(path, text);
  }
  double shown = 0;
  double lastShown = 0;
  double firstPage = 0;
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    auto form = std::make_unique<rpv::TfrmRPV>(std::vector<std::string>{path},
                                               std::make_unique<rpv::bench::TSilentDialogs>());
    // Looked at while FormCreate reads the book (its wait runs the loop).
    QTimer watch;
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (shown == 0 && form->windowHandle() && form->windowHandle()->isExposed())
        shown = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    });
    watch.start();
    form->FormCreate();
    Until([&] { return form->windowHandle() && form->windowHandle()->isExposed(); });
    if (shown == 0) shown = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    Until([&] { return !form->AwaitingPage(); });
    firstPage = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    state.PauseTiming();
    form->tmrAuto->stop();
    form->close();
    form.reset();
    lastShown = std::exchange(shown, 0);
    state.ResumeTiming();
  }
  state.counters["window_ms"] = lastShown;
  state.counters["first_page_ms"] = firstPage;
}
BENCHMARK(BM_StartWindow)->Arg(31)->Arg(10 * 1024)->Arg(100 * 1024)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return rpv::bench::RunWindowBenchmarks(argc, argv); }
