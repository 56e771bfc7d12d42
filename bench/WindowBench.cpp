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

struct TFixture {
  std::filesystem::path home;
  std::string book;
  std::unique_ptr<rpv::TfrmRPV> form;

  TFixture() {
    home = std::filesystem::temp_directory_path() / ("rpv_window_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(home);
    ::setenv("RPV_HOME", home.c_str(), 1);
    const std::string sample =
        rpv::ReadWholeFile(RPV_SOURCE_DIR "/samples/sample.sjis.txt").value_or("abc\r\n");
    std::string text;
    while (text.size() < 10 * 1024 * 1024) text += sample;
    book = rpv::FromNativePath(home / "book.txt");
    rpv::WriteFileAtomic(book, text);
    rpv::WriteFileAtomic(rpv::FromNativePath(home / "rpv.ini"),
                         "[General]\r\nLeft=0\r\nTop=0\r\nWidth=1024\r\nHeight=768\r\nblnLast=0\r\n");
    form = std::make_unique<rpv::TfrmRPV>(std::vector<std::string>{},
                                          std::make_unique<rpv::bench::TSilentDialogs>());
    form->FormCreate();
    form->tmrAuto->stop();
    // Until the window is exposed a repaint paints nothing.
    for (int i = 0; i < 50 && !form->windowHandle()->isExposed(); ++i) {
      QCoreApplication::processEvents();
      QThread::msleep(10);
    }
    if (!form->windowHandle()->isExposed()) std::fprintf(stderr, "the window is not exposed\n");
  }
  ~TFixture() {
    form.reset();
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
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

int main(int argc, char** argv) { return rpv::bench::RunQtBenchmarks(argc, argv); }
