// The window's speed on a 10 MB book (the sample book repeated), in the
// default vertical style, in a 1024 x 768 window on the offscreen platform:
//   - a page step, drawn and painted;
//   - opening the book up to its first page painted;
//   - a resize, laid out again and painted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "app/rpvMain.h"
#include "bench/WindowBenchSupport.h"
#include "platform/FileIO.h"
#include "render/BookClass.h"

namespace {

struct TFixture : rpv::bench::TBenchWindow {
  std::string book;

  TFixture() : TBenchWindow("rpv_window_bench") {
    book = Path("book.txt");
    rpv::WriteFileAtomic(book, rpv::bench::TenMegabyteBook());
    Start(std::make_unique<rpv::bench::TSilentDialogs>());
  }
};

TFixture& Fixture() {
  static TFixture fixture;
  return fixture;
}

void BM_OpenToFirstPage(benchmark::State& state) {
  auto& f = Fixture();
  for (auto _ : state) {
    f.form->OpenDocument(f.book, 0, "");
    benchmark::DoNotOptimize(f.form->TopLine);
  }
  state.counters["lines"] = f.form->Book->LineCount();
  state.counters["pages"] = f.form->Book->PageCount;
}
BENCHMARK(BM_OpenToFirstPage)->Unit(benchmark::kMillisecond)->Iterations(5);

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

void BM_Resize(benchmark::State& state) {
  auto& f = Fixture();
  if (f.form->Book->FileName.empty()) f.form->OpenDocument(f.book, 0, "");
  f.form->GoToPage(1000);
  bool wide = false;
  for (auto _ : state) {
    wide = !wide;
    f.form->resize(wide ? 1100 : 1024, wide ? 800 : 768);
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(f.form->TopLine);
  }
}
BENCHMARK(BM_Resize)->Unit(benchmark::kMillisecond)->Iterations(6);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  benchmark::Initialize(&argc, argv);
  QApplication app(argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
