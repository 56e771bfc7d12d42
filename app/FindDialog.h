// The modeless find dialog (dlgFind): a pattern, match case and the
// direction; the whole-word choice of the Windows dialog is not offered.
#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
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

  // Runs on every press of the find-next button; false when nothing was
  // found, which the dialog then says below its options.
  std::function<bool(const QString& pattern, int options)> OnFind;
  // The line that says so (empty while there is nothing to say).
  QString Status() const;

 private:
  void FindNext();

  QLineEdit* edtFind_;
  QCheckBox* chkMatchCase_;
  QRadioButton* rdbUp_;
  QRadioButton* rdbDown_;
  QPushButton* btnFindNext_;
  QLabel* lblStatus_;
};

}  // namespace rpv
