// Styles in the window, on the offscreen platform, with a 10 MB book (the
// sample book repeated) in a 1024 x 768 window:
//   - switching between a vertical and a horizontal style from the menu, up
//     to the new page painted;
//   - one redraw of the style editor's preview after a setting changed;
//   - opening the style editor (font list, controls, first preview), with
//     the installed fonts and with a list of 400 names;
//   - the installed font list alone (fontconfig plus the vertical-forms look-up).
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QSpinBox>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "app/rpvMain.h"
#include "dialogs/rpvSetUpStyle.h"
#include "platform/FaceResolver.h"
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

struct TFixture {
  std::filesystem::path home;
  std::string book;
  std::string ini;
  std::unique_ptr<rpv::TfrmRPV> form;

  TFixture() {
    home = std::filesystem::temp_directory_path() / ("rpv_style_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(home);
    ::setenv("RPV_HOME", home.c_str(), 1);
    const std::string sample =
        rpv::ReadWholeFile(RPV_SOURCE_DIR "/samples/sample.sjis.txt").value_or("abc\r\n");
    std::string text;
    while (text.size() < 10 * 1024 * 1024) text += sample;
    book = rpv::FromNativePath(home / "book.txt");
    rpv::WriteFileAtomic(book, text);
    ini = rpv::FromNativePath(home / "info.ini");
    rpv::WriteFileAtomic(ini, "[Vertical]\r\nDirection=27\r\n[Horizontal]\r\nDirection=0\r\n");
    rpv::WriteFileAtomic(rpv::FromNativePath(home / "rpv.ini"),
                         "[General]\r\nLeft=0\r\nTop=0\r\nWidth=1024\r\nHeight=768\r\nblnLast=0\r\n");
    form = std::make_unique<rpv::TfrmRPV>(std::vector<std::string>{book},
                                          std::make_unique<TSilentDialogs>());
    form->FormCreate();
    form->tmrAuto->stop();
    for (int i = 0; i < 50 && !form->windowHandle()->isExposed(); ++i) {
      QCoreApplication::processEvents();
      QThread::msleep(10);
    }
    if (!form->windowHandle()->isExposed()) std::fprintf(stderr, "the window is not exposed\n");
    // Somewhere in the middle of the book.
    form->GoToPage(form->Book->PageCount / 2);
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

void BM_SwitchStyle(benchmark::State& state) {
  auto& f = Fixture();
  int next = 1;
  for (auto _ : state) {
    f.form->StyleItems[static_cast<size_t>(next)]->trigger();
    next = 1 - next;
    benchmark::DoNotOptimize(f.form->TopLine);
  }
}
BENCHMARK(BM_SwitchStyle)->Unit(benchmark::kMillisecond);

void BM_PreviewRedraw(benchmark::State& state) {
  auto& f = Fixture();
  rpv::TfrmStyleSetUp editor(f.form.get());
  editor.Open(f.ini, "Vertical", f.form->ClientWidth(), f.form->ClientHeight(), f.form->PageDpi(),
              f.form->Book.get(), f.form->Book->SourceLineOf(f.form->TopLine));
  int size = 16;
  for (auto _ : state) {
    size = size == 16 ? 17 : 16;
    editor.sedFontSize->setValue(size);
  }
}
BENCHMARK(BM_PreviewRedraw)->Unit(benchmark::kMillisecond);

void OpenEditor(benchmark::State& state, std::optional<std::vector<std::string>> fonts) {
  auto& f = Fixture();
  for (auto _ : state) {
    rpv::TfrmStyleSetUp editor(f.form.get(), fonts);
    editor.Open(f.ini, "Vertical", f.form->ClientWidth(), f.form->ClientHeight(),
                f.form->PageDpi(), f.form->Book.get(), f.form->Book->SourceLineOf(f.form->TopLine));
    benchmark::DoNotOptimize(editor.windowTitle());
  }
}

void BM_EditorOpen_InstalledFonts(benchmark::State& state) {
  state.counters["fonts"] = static_cast<double>(rpv::InstalledScreenFonts().size());
  OpenEditor(state, std::nullopt);
}
BENCHMARK(BM_EditorOpen_InstalledFonts)->Unit(benchmark::kMillisecond);

void BM_EditorOpen_400Names(benchmark::State& state) {
  std::vector<std::string> names;
  for (int i = 0; i < 400; ++i) names.push_back("Font family " + std::to_string(i));
  OpenEditor(state, names);
}
BENCHMARK(BM_EditorOpen_400Names)->Unit(benchmark::kMillisecond);

void BM_ScreenFontList(benchmark::State& state) {
  size_t n = 0;
  for (auto _ : state) n = rpv::InstalledScreenFonts().size();
  state.counters["fonts"] = static_cast<double>(n);
}
BENCHMARK(BM_ScreenFontList)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
