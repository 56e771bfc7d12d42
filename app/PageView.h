// The client area of the main window: shows the page bitmap and hands the
// mouse to the window. Keys are left to the window.
#pragma once

#include <QWidget>

namespace rpv {

class TfrmRPV;

class TPageView : public QWidget {
 public:
  explicit TPageView(TfrmRPV* form);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  TfrmRPV* form_;
};

}  // namespace rpv
