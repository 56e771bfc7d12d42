#include "app/FindDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/UserDialogs.h"

namespace rpv {

TFindDialog::TFindDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("検索"));
  setModal(false);

  auto* label = new QLabel(QStringLiteral("検索する文字列(&N):"), this);
  edtFind_ = new QLineEdit(this);
  label->setBuddy(edtFind_);
  chkMatchCase_ = new QCheckBox(QStringLiteral("大文字と小文字を区別する(&C)"), this);
  auto* direction = new QGroupBox(QStringLiteral("方向"), this);
  rdbUp_ = new QRadioButton(QStringLiteral("上へ(&U)"), direction);
  rdbDown_ = new QRadioButton(QStringLiteral("下へ(&D)"), direction);
  auto* dirLayout = new QHBoxLayout(direction);
  dirLayout->addWidget(rdbUp_);
  dirLayout->addWidget(rdbDown_);

  btnFindNext_ = new QPushButton(QStringLiteral("次を検索(&F)"), this);
  btnFindNext_->setDefault(true);
  btnFindNext_->setEnabled(false);
  auto* btnCancel = new QPushButton(QStringLiteral("キャンセル"), this);

  auto* left = new QVBoxLayout;
  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(edtFind_);
  left->addLayout(row);
  auto* options = new QHBoxLayout;
  options->addWidget(chkMatchCase_, 0, Qt::AlignBottom);
  options->addWidget(direction);
  left->addLayout(options);
  // "Not found" is said here: a message box would take the focus from the
  // dialog the user is typing in.
  lblStatus_ = new QLabel(this);
  left->addWidget(lblStatus_);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(btnFindNext_);
  buttons->addWidget(btnCancel);
  buttons->addStretch();
  auto* top = new QHBoxLayout(this);
  top->addLayout(left);
  top->addLayout(buttons);

  connect(edtFind_, &QLineEdit::textChanged, this,
          [this](const QString& text) {
            btnFindNext_->setEnabled(!text.isEmpty());
            lblStatus_->clear();
          });
  connect(btnFindNext_, &QPushButton::clicked, this, [this] { FindNext(); });
  connect(btnCancel, &QPushButton::clicked, this, [this] { hide(); });
  SetOptions(kFindOptionDown);
}

int TFindDialog::Options() const {
  return (rdbDown_->isChecked() ? kFindOptionDown : 0) |
         (chkMatchCase_->isChecked() ? kFindOptionMatchCase : 0);
}

void TFindDialog::SetOptions(int options) {
  rdbDown_->setChecked((options & kFindOptionDown) != 0);
  rdbUp_->setChecked((options & kFindOptionDown) == 0);
  chkMatchCase_->setChecked((options & kFindOptionMatchCase) != 0);
}

QString TFindDialog::FindText() const { return edtFind_->text(); }

QString TFindDialog::Status() const { return lblStatus_->text(); }

void TFindDialog::FindNext() {
  if (edtFind_->text().isEmpty() || !OnFind) return;
  const bool found = OnFind(edtFind_->text(), Options());
  lblStatus_->setText(found ? QString()
                            : QStringLiteral("「%1」は見つかりません。").arg(edtFind_->text()));
}

}  // namespace rpv
