#include "AppTestSupport.h"

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

}  // namespace rpv::test
