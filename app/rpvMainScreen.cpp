// Placement, full screen and the menu bar hidden above the full-screen page.
//
// The window lays out its two children itself: the menu bar on top and the
// page below it. In full screen the page covers the whole screen and the
// menu bar sits just above the top edge; revealing it slides the menu bar
// and the page down together, so the page keeps its size and is not laid
// out again (its bottom band goes off screen meanwhile).
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

#include "app/PageView.h"
#include "app/rpvMain.h"
#include "render/BookClass.h"

namespace rpv {

bool TfrmRPV::IsFullScreen() const { return mnuOScreenChange->isChecked(); }

int32_t TfrmRPV::MenuBarHeight() const {
  const int h = mnuMain->heightForWidth(std::max(width(), 1));
  return h > 0 ? h : mnuMain->sizeHint().height();
}

void TfrmRPV::LayoutChildren() {
  const int w = width();
  const int h = height();
  const int menu = MenuBarHeight();
  if (!IsFullScreen()) {
    mnuMain->setGeometry(0, 0, w, menu);
    pageView_->setGeometry(0, menu, w, std::max(0, h - menu));
  } else if (menuRevealed_) {
    mnuMain->setGeometry(0, 0, w, menu);
    pageView_->setGeometry(0, menu, w, h);
  } else {
    // Above the top edge: out of sight, but its accelerators still work.
    mnuMain->setGeometry(0, -menu, w, menu);
    pageView_->setGeometry(0, 0, w, h);
  }
  mnuMain->raise();
}

// The placement is the geometry inside the window manager's frame: the
// frame's size is known only once the window is shown (and changes on the
// way out of full screen), so positions that include it do not come back
// where they were.
QRect TfrmRPV::CurrentPlacement() const { return geometry(); }

void TfrmRPV::ApplyPlacement(const QRect& bounds) {
  // Hand-edited or stale values (a screen that is gone) must not put the
  // window out of reach or ask for a page of absurd size.
  QRect desk;
  for (const QScreen* s : QGuiApplication::screens()) desk = desk.united(s->availableGeometry());
  if (desk.isEmpty()) desk = QRect(0, 0, 1024, 768);
  const int w = std::clamp(bounds.width(), std::max(minimumWidth(), 1),
                           std::max(desk.width(), minimumWidth()));
  const int h = std::clamp(bounds.height(), std::max(minimumHeight(), 1),
                           std::max(desk.height(), minimumHeight()));
  QPoint at = bounds.topLeft();
  bool onScreen = false;
  for (const QScreen* s : QGuiApplication::screens())
    if (s->availableGeometry().intersects(QRect(at, QSize(w, h)))) onScreen = true;
  if (!onScreen && QGuiApplication::primaryScreen()) {
    const QRect primary = QGuiApplication::primaryScreen()->availableGeometry();
    at = primary.topLeft() + QPoint(std::max(0, (primary.width() - w) / 2),
                                    std::max(0, (primary.height() - h) / 2));
  }
  setGeometry(QRect(at, QSize(w, h)));
}

void TfrmRPV::ToggleFullScreen() {
  mnuOScreenChange->setChecked(!mnuOScreenChange->isChecked());
  // The resizes on the way are not laid out; the new size is, once, at the
  // reading position.
  LayoutEnabled = false;
  if (IsFullScreen()) EnterFullScreen();
  else LeaveFullScreen();
  LayoutEnabled = true;
  Relayout();
}

void TfrmRPV::EnterFullScreen() {
  const Qt::WindowStates state = windowState();
  if (!(state & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)))
    WindowBounds = CurrentPlacement();
  menuRevealed_ = false;
  // A maximised window stays maximised underneath, and is so again after.
  maximisedBeneath_ = (state & Qt::WindowMaximized) != 0;
  setWindowState((state & ~Qt::WindowMinimized) | Qt::WindowFullScreen);
  // Without a window manager that honours the full-screen state (a bare X
  // server) the window covers the screen by its own geometry.
  if (const QScreen* s = screen()) setGeometry(s->geometry());
  UpdateMinimumSize();
  LayoutChildren();
}

void TfrmRPV::LeaveFullScreen() {
  // The menu was shown and the timer stopped for it: the windowed mode has
  // nothing that would start the timer again.
  if (menuRevealed_ && Started) {
    tmrAuto->start();
    IdleCount = 0;
  }
  menuRevealed_ = false;
  // Said again: some window managers forget the maximised state meanwhile.
  Qt::WindowStates state = windowState() & ~Qt::WindowFullScreen;
  if (maximisedBeneath_) state |= Qt::WindowMaximized;
  maximisedBeneath_ = false;
  setWindowState(state);
  UpdateMinimumSize();
  if (!(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))) ApplyPlacement(WindowBounds);
  LayoutChildren();
  if (Started) setAcceptDrops(true);
}

void TfrmRPV::RevealMenu(int32_t y) {
  if (!IsFullScreen()) return;
  if (y < MenuBarHeight()) {
    if (!menuRevealed_) {
      menuRevealed_ = true;
      LayoutChildren();
    }
    tmrAuto->stop();
    ButtonDown = 0;
  } else if (menuRevealed_) {
    menuRevealed_ = false;
    LayoutChildren();
    tmrAuto->start();
    IdleCount = 0;
  }
}

}  // namespace rpv
