#include "AppTestSupport.h"

#include <QCoreApplication>

#include "render/BookClass.h"

namespace rpv::test {
namespace {

std::unique_ptr<QApplication>& Instance() {
  static std::unique_ptr<QApplication> app;
  return app;
}

class TQtEnvironment : public ::testing::Environment {
 public:
  void TearDown() override { Instance().reset(); }
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new TQtEnvironment);

}  // namespace

QApplication& App() {
  static int argc = 1;
  static char name[] = "test_app";
  static char* argv[] = {name, nullptr};
  if (!Instance()) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    Instance() = std::make_unique<QApplication>(argc, argv);
  }
  return *Instance();
}

int FitPageToLines(TfrmRPV& form, int lines) {
  auto& style = form.Book->Style;
  int height = 0;
  for (int h = 60; h < 2000 && height == 0; ++h) {
    style.PageHeight = h;
    if (style.LinesPerColumn() == lines) height = h;
  }
  if (height == 0) return 0;
  form.resize(400, height + form.MenuBarHeight());
  QCoreApplication::processEvents();
  return height;
}

}  // namespace rpv::test
