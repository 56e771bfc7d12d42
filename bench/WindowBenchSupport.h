// Shared pieces of the window benchmarks: dialogs that answer nothing, a
// program folder with the sample book repeated to 10 MB and a 1024 x 768
// window on the offscreen platform, and a main that makes the application.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/rpvMain.h"
#include "render/BookClass.h"
#include "platform/FileIO.h"

namespace rpv::bench {

class TSilentDialogs : public IUserDialogs {
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

// Processes events until done() holds (at most 60 s).
inline void Until(const std::function<bool()>& done) {
  // Sleeps between events (the layout's deliveries wake it), so the
  // benchmark takes no core from the layout it times.
  bool late = false;
  QTimer limit;
  limit.setSingleShot(true);
  QObject::connect(&limit, &QTimer::timeout, [&] { late = true; });
  limit.start(60'000);
  while (!done() && !late) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Layout runs beside the window: the page asked for, or the whole book.
inline void WaitForPage(const TfrmRPV& form) { Until([&] { return !form.AwaitingPage(); }); }
inline void WaitForWholeLayout(const TfrmRPV& form) {
  Until([&] { return !form.Book || form.Book->LayoutComplete; });
}

struct TWindowFixture {
  std::filesystem::path home;
  std::string book;
  std::string ini;  // info.ini
  std::unique_ptr<TfrmRPV> form;

  // infoIni: the style file to write (empty: none, the defaults); openBook:
  // the window opens the book from its command line.
  // dialogs: what answers the window (default: nothing answers).
  TWindowFixture(const std::string& name, const std::string& infoIni, bool openBook,
                 std::unique_ptr<IUserDialogs> dialogs = nullptr) {
    home = std::filesystem::temp_directory_path() / (name + "_" + std::to_string(::getpid()));
    std::filesystem::create_directories(home);
    ::setenv("RPV_HOME", home.c_str(), 1);
    const std::string sample =
        ReadWholeFile(RPV_SOURCE_DIR "/samples/sample.sjis.txt").value_or("abc\r\n");
    std::string text;
    while (text.size() < 10 * 1024 * 1024) text += sample;
    book = FromNativePath(home / "book.txt");
    WriteFileAtomic(book, text);
    ini = FromNativePath(home / "info.ini");
    if (!infoIni.empty()) WriteFileAtomic(ini, infoIni);
    WriteFileAtomic(FromNativePath(home / "rpv.ini"),
                    "[General]\r\nLeft=0\r\nTop=0\r\nWidth=1024\r\nHeight=768\r\nblnLast=0\r\n");
    std::vector<std::string> args;
    if (openBook) args.push_back(book);
    if (!dialogs) dialogs = std::make_unique<TSilentDialogs>();
    form = std::make_unique<TfrmRPV>(args, std::move(dialogs));
    form->FormCreate();
    form->tmrAuto->stop();
    // Until the window is exposed a repaint paints nothing.
    for (int i = 0; i < 50 && !form->windowHandle()->isExposed(); ++i) {
      QCoreApplication::processEvents();
      QThread::msleep(10);
    }
    if (!form->windowHandle()->isExposed()) std::fprintf(stderr, "the window is not exposed\n");
    WaitForWholeLayout(*form);
  }
  std::string Path(const std::string& name) const { return FromNativePath(home / name); }

  ~TWindowFixture() {
    form.reset();
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
  }
};

// The fixtures of one run. Widgets must go before the application does (a
// function-local static window was destroyed after it: a crash at exit that
// left the temporary folder behind), so RunWindowBenchmarks empties this
// while its QApplication still exists.
inline std::vector<std::unique_ptr<TWindowFixture>>& FixturesOfThisRun() {
  static std::vector<std::unique_ptr<TWindowFixture>> fixtures;
  return fixtures;
}

// Makes a fixture that lives until the benchmarks have run.
inline TWindowFixture& MakeWindowFixture(const std::string& name, const std::string& infoIni,
                                         bool openBook,
                                         std::unique_ptr<IUserDialogs> dialogs = nullptr) {
  return *FixturesOfThisRun().emplace_back(
      std::make_unique<TWindowFixture>(name, infoIni, openBook, std::move(dialogs)));
}

// beforeQuit: lets a benchmark close fixtures of its own while the
// application still exists.
inline int RunWindowBenchmarks(int argc, char** argv,
                               const std::function<void()>& beforeQuit = {}) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  benchmark::Initialize(&argc, argv);
  QApplication app(argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  FixturesOfThisRun().clear();
  if (beforeQuit) beforeQuit();
  benchmark::Shutdown();
  return 0;
}

}  // namespace rpv::bench
