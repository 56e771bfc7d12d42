// What the window benchmarks share: dialogs that answer nothing (and print
// any message), and a 1024 x 768 window over a fresh program folder, shown
// and exposed on the offscreen platform.
#pragma once

#include <unistd.h>

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "app/rpvMain.h"
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

// A program folder (RPV_HOME) named after the benchmark and the process,
// removed afterwards, and the window over it once Start is called.
struct TBenchWindow {
  std::filesystem::path home;
  std::unique_ptr<TfrmRPV> form;

  explicit TBenchWindow(const std::string& name) {
    home = std::filesystem::temp_directory_path() / (name + "_" + std::to_string(::getpid()));
    std::filesystem::create_directories(home);
    ::setenv("RPV_HOME", home.c_str(), 1);
    WriteFileAtomic(FromNativePath(home / "rpv.ini"),
                    "[General]\r\nLeft=0\r\nTop=0\r\nWidth=1024\r\nHeight=768\r\nblnLast=0\r\n");
  }
  ~TBenchWindow() {
    form.reset();
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
  }
  std::string Path(const std::string& name) const { return FromNativePath(home / name); }

  void Start(std::unique_ptr<IUserDialogs> dialogs) {
    form = std::make_unique<TfrmRPV>(std::vector<std::string>{}, std::move(dialogs));
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

// The sample book repeated to 10 MB.
inline std::string TenMegabyteBook() {
  const std::string sample = ReadWholeFile(RPV_SOURCE_DIR "/samples/sample.sjis.txt").value_or("abc\r\n");
  std::string text;
  while (text.size() < 10 * 1024 * 1024) text += sample;
  return text;
}

}  // namespace rpv::bench
