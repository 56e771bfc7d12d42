#include "app/PageView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "app/rpvMain.h"

namespace rpv {

TPageView::TPageView(TfrmRPV* form) : QWidget(form), form_(form) {
  setObjectName(QStringLiteral("PageView"));
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
  // Every pixel is painted from the page bitmap.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPageView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  form_->FormPaint(painter);
}

void TPageView::mouseMoveEvent(QMouseEvent* event) {
  form_->FormMouseMove(event->position().toPoint(), event->globalPosition().toPoint());
}

void TPageView::mousePressEvent(QMouseEvent* event) {
  form_->FormMouseDown(event->button(), event->globalPosition().toPoint());
}

void TPageView::mouseReleaseEvent(QMouseEvent* event) {
  form_->mwvMainMouseUp(event->button(), event->position().toPoint(),
                        event->globalPosition().toPoint());
}

void TPageView::wheelEvent(QWheelEvent* event) {
  form_->FormMouseWheel(event->angleDelta(), event->modifiers());
  event->accept();
}

}  // namespace rpv
