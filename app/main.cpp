// rpv: the reader. "rpv [FILE]" opens the window; "--render" and "--pages"
// run the headless renderer, which needs no display and so runs before any
// Qt application object exists.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/RenderCommand.h"
#include "platform/FileIO.h"

#ifdef RPV_WITH_GUI
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QSocketNotifier>
#include <csignal>

#include "app/AppIcon.h"
#include "app/WindowGoneWatch.h"
#include "app/rpvMain.h"

namespace {

// A termination signal asks the event loop to quit, so the window still
// writes its settings on the way out. The handler may only write a byte.
int gSignalPipe[2] = {-1, -1};

void OnTerminate(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(gSignalPipe[1], &byte, 1);
}

// Closes the modal box on top, if any. A box runs its own event loop, which
// quit() does not end, and before exec() quit() does nothing at all.
void CloseModalBox() {
  QWidget* modal = QApplication::activeModalWidget();
  if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->done(QDialog::Rejected);
  else if (modal != nullptr) modal->close();
}

// Sets *terminated and ends the event loop on SIGTERM, SIGHUP or SIGINT.
// From then on every modal box closes at once (one may be open during
// start-up, or open while the settings are written), so a logout's TERM is
// followed by a save and an exit before its KILL.
void QuitOnTermination(QApplication& app, bool* terminated) {
  if (::pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app, notifier, terminated] {
    notifier->setEnabled(false);
    *terminated = true;
    auto* closer = new QTimer(&app);
    QObject::connect(closer, &QTimer::timeout, &app, CloseModalBox);
    closer->start(20);
    CloseModalBox();
    QCoreApplication::quit();
  });
  struct sigaction action {};
  action.sa_handler = OnTerminate;
  sigemptyset(&action.sa_mask);
  for (const int sig : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(sig, &action, nullptr);
}

}  // namespace
#endif

namespace {

constexpr const char* kUsage =
    "usage: rpv [FILE]      the reader's window, on FILE or the last document\n"
    "       rpv --render OUT.png [--page N] [--size WxH] [--dpi D] [--style NAME] FILE\n"
    "       rpv --pages [--size WxH] [--dpi D] [--style NAME] FILE\n"
    "       rpv --text [--size WxH] [--dpi D] [--style NAME] FILE\n"
    "       rpv --help | --version\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc == 2 && std::string(argv[1]) == "--version") {
    std::printf("rpv %s\n", RPV_VERSION);
    return 0;
  }
  if (rpv::IsRenderCommand(argc, argv)) return rpv::RunRenderCommand(argc, argv);
#ifdef RPV_WITH_GUI
#if defined(__linux__)
  // Qt would abort without a word a user can act on.
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    std::fprintf(stderr,
                 "rpv: no display to open the window on; to draw a page without one:\n"
                 "  rpv --render OUT.png [--page N] [--size WxH] [--style NAME] FILE\n");
    return 1;
  }
#endif
  QApplication app(argc, argv);
  QApplication::setWindowIcon(rpv::AppIcon());
  // Desktops match the window to rpv.desktop by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("rpv"));
  bool terminated = false;
  QuitOnTermination(app, &terminated);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    // History and bookmarks keep paths: a relative one would name another
    // file once the reader starts from another folder.
    std::error_code ec;
    std::filesystem::path path = std::filesystem::absolute(argv[i], ec);
    if (ec) path = argv[i];
    args.push_back(rpv::FromNativePath(path.lexically_normal()));
  }
  rpv::TfrmRPV window(std::move(args));
  // Closing the window ends the program, whatever other window is open.
  window.OnClosed = [] { QCoreApplication::quit(); };
  bool gone = false;
  rpv::TWindowGoneWatch watch(window, [&gone] {
    gone = true;
    QCoreApplication::quit();
  });
  app.installNativeEventFilter(&watch);
  window.FormCreate();
  // Asked to end during start-up: the window's destructor saves.
  if (terminated) return 0;
  // Closed or destroyed while the first book was read: nothing to run.
  if (gone) return 0;
  return QApplication::exec();
#else
  std::fprintf(stderr, "rpv: built without the window; use rpv --render\n");
  return 2;
#endif
}
