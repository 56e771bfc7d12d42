#include "dialogs/rpvInputKey.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/QtText.h"
#include "app/VirtualKeys.h"
#include "app/commands/Assignments.h"

namespace rpv {

TfrmInputKey::TfrmInputKey(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmInputKey"));
  setWindowTitle(QStringLiteral("キー割り当ての追加"));
  lblKey = new QLabel(this);
  edtKey = new QLineEdit(this);
  edtKey->setReadOnly(true);
  lblValue = new QLabel(this);
  cmbValue = new QComboBox(this);
  cmbValue->setEditable(false);
  btnOk = new QPushButton(QStringLiteral("&Ok"), this);
  btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
  // Neither button answers Enter: Enter is a key to capture.
  for (QPushButton* b : {btnOk, btnCancel}) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }
  lblKey->setBuddy(edtKey);
  lblValue->setBuddy(cmbValue);

  auto* fields = new QGridLayout;
  fields->addWidget(lblKey, 0, 0);
  fields->addWidget(edtKey, 1, 0);
  fields->addWidget(lblValue, 0, 1);
  fields->addWidget(cmbValue, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOk);
  buttons->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons);

  connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  edtKey->installEventFilter(this);
  edtKey->setFocus();
  resize(QSize(314, 104).expandedTo(sizeHint()));
}

bool TfrmInputKey::eventFilter(QObject* watched, QEvent* event) {
  if (watched != edtKey) return QDialog::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::ShortcutOverride:
      // Keep access keys and shortcuts from taking the key away.
      event->accept();
      return true;
    case QEvent::KeyPress: {
      const auto* key = static_cast<QKeyEvent*>(event);
      const Qt::KeyboardModifiers m = key->modifiers();
      // Whether a modifier's own press already counts it varies by
      // platform; the key itself settles it.
      edtKeyKeyDown(VirtualKeyOf(*key), (m & Qt::ControlModifier) || key->key() == Qt::Key_Control,
                    (m & Qt::ShiftModifier) || key->key() == Qt::Key_Shift,
                    (m & Qt::AltModifier) || key->key() == Qt::Key_Alt);
      return true;  // Tab, Enter and Escape included
    }
    case QEvent::KeyRelease:
      if (!static_cast<QKeyEvent*>(event)->isAutoRepeat()) edtKeyKeyUp();
      return true;
    default:
      return QDialog::eventFilter(watched, event);
  }
}

void TfrmInputKey::edtKeyKeyDown(int virtualKey, bool ctrl, bool shift, bool alt) {
  keyName_ = CapturedKeyName(virtualKey);
  prefix_ = std::string(CapturedKeyPrefix(ctrl, shift, alt));
  ShowKey(prefix_ + keyName_);
}

void TfrmInputKey::edtKeyKeyUp() { ShowKey(keyName_.empty() ? std::string() : prefix_ + keyName_); }

void TfrmInputKey::ShowKey(const std::string& text) {
  edtKey->setText(ToQString(text));
  edtKey->setCursorPosition(static_cast<int>(edtKey->text().size()));
}

std::string TfrmInputKey::KeyText() const { return FromQString(edtKey->text()); }
std::string TfrmInputKey::CommandText() const { return FromQString(cmbValue->currentText()); }

}  // namespace rpv
