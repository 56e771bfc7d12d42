// Notices when the main window's X11 window is destroyed from outside (a
// window manager's "destroy", xkill on the window, a crashed session
// helper). Qt does not treat that as a close, so without this the process
// went on running with no window; the watch calls back, and the program
// then quits through its normal path (settings are still written).
#pragma once

#include <QAbstractNativeEventFilter>
#include <functional>

class QWidget;

namespace rpv {

class TWindowGoneWatch : public QAbstractNativeEventFilter {
 public:
  TWindowGoneWatch(const QWidget& window, std::function<void()> onGone)
      : window_(window), onGone_(std::move(onGone)) {}

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  const QWidget& window_;
  std::function<void()> onGone_;
};

}  // namespace rpv
