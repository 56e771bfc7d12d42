#include "app/ProgressPanel.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

namespace rpv {

TProgressPanel::TProgressPanel(QWidget* page, const QString& objectName,
                               std::function<void()> cancel)
    : QFrame(page) {
  setObjectName(objectName);
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  // A child takes the page's palette, whose text may be the colour of the
  // panel's background (white on black pages): the application's instead.
  // Every role is set, so none is taken from the page.
  const QPalette app = QApplication::palette();
  QPalette own;
  for (int group = 0; group < QPalette::NColorGroups; ++group) {
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
      const auto g = static_cast<QPalette::ColorGroup>(group);
      const auto r = static_cast<QPalette::ColorRole>(role);
      own.setColor(g, r, app.color(g, r));
    }
  }
  setPalette(own);
  setAutoFillBackground(true);
  auto* layout = new QVBoxLayout(this);
  label_ = new QLabel(this);
  label_->setObjectName(objectName + QStringLiteral("Text"));
  bar_ = new QProgressBar(this);
  bar_->setObjectName(objectName + QStringLiteral("Bar"));
  auto* button = new QPushButton(QStringLiteral("キャンセル"), this);
  cancel_ = button;
  button->setObjectName(objectName + QStringLiteral("Cancel"));
  layout->addWidget(label_);
  layout->addWidget(bar_);
  layout->addWidget(button, 0, Qt::AlignRight);
  connect(button, &QPushButton::clicked, this, [cancel = std::move(cancel)] { cancel(); });
  hide();
}

void TProgressPanel::SetText(const QString& text) { label_->setText(text); }

void TProgressPanel::SetProgress(int percent) {
  if (percent < 0) {
    bar_->setRange(0, 0);
    bar_->setTextVisible(false);
  } else {
    bar_->setRange(0, 100);
    bar_->setTextVisible(true);
    bar_->setValue(percent);
  }
}

void TProgressPanel::ShowCentred(bool cancellable) {
  cancel_->setVisible(cancellable);
  adjustSize();
  const QWidget* page = parentWidget();
  move((page->width() - width()) / 2, (page->height() - height()) / 2);
  show();
  raise();
}

}  // namespace rpv
