// The modeless find dialog (dlgFind): a pattern, match case and the
// direction; the whole-word choice of the Windows dialog is not offered.
#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace rpv {

class TFindDialog : public QDialog {
 public:
  explicit TFindDialog(QWidget* parent);

  // Options as FindText takes them (down 0x1, match case 0x20).
  int Options() const;
  void SetOptions(int options);
  QString FindText() const;

  // Runs on every press of the find-next button.
  std::function<void(const QString& pattern, int options)> OnFind;

 private:
  void FindNext();

  QLineEdit* edtFind_;
  QCheckBox* chkMatchCase_;
  QRadioButton* rdbUp_;
  QRadioButton* rdbDown_;
  QPushButton* btnFindNext_;
};

}  // namespace rpv
