// What the window benchmarks share: dialogs that answer nothing (a message
// goes to standard error, as a benchmark's run must not stop for a person)
// and a main that runs the benchmarks inside a QApplication on the
// offscreen platform.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <optional>
#include <string>

#include "app/UserDialogs.h"

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

inline int RunQtBenchmarks(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  benchmark::Initialize(&argc, argv);
  QApplication app(argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace rpv::bench
