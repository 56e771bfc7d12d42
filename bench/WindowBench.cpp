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
#include "platform/FileIO.h"
#include "render/BookClass.h"

namespace {

class TSilentDialogs : public rpv::IUserDialogs {
 public:
  void ShowMessage(const std::string& text) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
  bool ConfirmOkCancel(const std::string&, const std::string&) override { return false; }
  std::optional<std::string> InputQuery(const std::string&, const std::string&,
                                        const std::string&) override {
    return std::nullopt;
  }
  void ShowFind(int, FindHandler) override {}
  void SetApplicationTitle(const std::string&) override {}
};

// A folder of its own for the settings and the book, removed at the end.
struct TTempHome {
  std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("rpv_window_bench_" + std::to_string(::getpid()));
  TTempHome() { std::filesystem::create_directories(path); }
  ~TTempHome() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  TTempHome(const TTempHome&) = delete;
  TTempHome& operator=(const TTempHome&) = delete;
};

// The window and its book. main owns it inside the QApplication's lifetime:
// widgets must go before the application does.
struct TFixture {
  TTempHome home;  // declared first, so removed after the window has closed
  std::string book;
  std::unique_ptr<rpv::TfrmRPV> form;

  TFixture() {
    ::setenv("RPV_HOME", home.path.c_str(), 1);
    const std::string sample =
        rpv::ReadWholeFile(RPV_SOURCE_DIR "/samples/sample.sjis.txt").value_or("abc\r\n");
    std::string text;
    while (text.size() < 10 * 1024 * 1024) text += sample;
    book = rpv::FromNativePath(home.path / "book.txt");
    rpv::WriteFileAtomic(book, text);
    rpv::WriteFileAtomic(rpv::FromNativePath(home.path / "rpv.ini"),
                         "[General]\r\nLeft=0\r\nTop=0\r\nWidth=1024\r\nHeight=768\r\nblnLast=0\r\n");
    form = std::make_unique<rpv::TfrmRPV>(std::vector<std::string>{},
                                          std::make_unique<TSilentDialogs>());
    form->FormCreate();
    form->tmrAuto->stop();
    // Until the window is exposed a repaint paints nothing.
    for (int i = 0; i < 50 && !form->windowHandle()->isExposed(); ++i) {
      QCoreApplication::processEvents();
      QThread::msleep(10);
    }
    if (!form->windowHandle()->isExposed()) std::fprintf(stderr, "the window is not exposed\n");
  }
};

void BM_OpenToFirstPage(benchmark::State& state, TFixture& f) {
  for (auto _ : state) {
    f.form->OpenDocument(f.book, 0, "");
    benchmark::DoNotOptimize(f.form->TopLine);
  }
  state.counters["lines"] = f.form->Book->LineCount();
  state.counters["pages"] = f.form->Book->PageCount;
}

void BM_PageStep(benchmark::State& state, TFixture& f) {
  if (f.form->Book->FileName.empty()) f.form->OpenDocument(f.book, 0, "");
  f.form->GoToPage(1000);
  for (auto _ : state) {
    f.form->PageForward();
    benchmark::DoNotOptimize(f.form->TopLine);
  }
}

// The composer alone, for comparison: what the step adds is the window's.
void BM_DrawPageOnly(benchmark::State& state, TFixture& f) {
  if (f.form->Book->FileName.empty()) f.form->OpenDocument(f.book, 0, "");
  int32_t line = f.form->Book->LinesPerPage() * 1000;
  for (auto _ : state) {
    line += f.form->Book->LinesPerPage();
    f.form->Book->DrawPage(line);
  }
}

void BM_Resize(benchmark::State& state, TFixture& f) {
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

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  benchmark::Initialize(&argc, argv);
  QApplication app(argc, argv);
  {
    TFixture fixture;
    const auto add = [&fixture](const char* name, void (*run)(benchmark::State&, TFixture&)) {
      return benchmark::RegisterBenchmark(name, [&fixture, run](benchmark::State& state) { run(state, fixture); })
          ->Unit(benchmark::kMillisecond);
    };
    add("BM_OpenToFirstPage", BM_OpenToFirstPage)->Iterations(5);
    add("BM_PageStep", BM_PageStep);
    add("BM_DrawPageOnly", BM_DrawPageOnly);
    add("BM_Resize", BM_Resize)->Iterations(6);
    benchmark::RunSpecifiedBenchmarks();
  }
  benchmark::Shutdown();
  return 0;
}
