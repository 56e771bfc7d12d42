// The key capture dialog TfrmInputKey: one key press in its key field
// becomes a key name of ka.ini ("Ctrl+Shift+F", "F12", "Enter"), and the
// user picks the command to bind to it. Enter and Escape in the key field
// are keys like any other here, so neither closes the dialog.
#pragma once

#include <QDialog>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace rpv {

class TfrmInputKey : public QDialog {
 public:
  explicit TfrmInputKey(QWidget* parent = nullptr);

  // A key went down in the key field: its virtual-key code and the
  // modifiers held (the key itself counted when it is one).
  void edtKeyKeyDown(int virtualKey, bool ctrl, bool shift, bool alt);
  // A key came up: the last whole combination stays shown, a lone modifier
  // prefix goes.
  void edtKeyKeyUp();

  // After OK: the captured key name (CP932; empty when nothing was
  // captured) and the chosen command name.
  std::string KeyText() const;
  std::string CommandText() const;

  QLabel* lblKey = nullptr;
  QLineEdit* edtKey = nullptr;
  QLabel* lblValue = nullptr;
  QComboBox* cmbValue = nullptr;
  QPushButton* btnOk = nullptr;
  QPushButton* btnCancel = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowKey(const std::string& text);

  std::string keyName_;
  std::string prefix_;
};

}  // namespace rpv
