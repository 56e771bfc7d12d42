// The other-settings dialog TfrmOtherSetUp: automatic-advance intervals,
// the external editor and its argument template, the Send To entry, start-
// up and exit options and the bookmark caption templates (page 全般), and
// the key and mouse assignments (pages キー and マウス), which it reads from
// ka.ini and ma.ini itself and writes back on OK.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "app/OtherSettings.h"

class QCheckBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

namespace rpv {

class IUserDialogs;

class TfrmOtherSetUp : public QDialog {
 public:
  // exeDir: the program folder holding ka.ini and ma.ini (CP932, trailing
  // "/"). Questions and failures go to dialogs.
  TfrmOtherSetUp(QWidget* parent, std::string exeDir, IUserDialogs& dialogs);

  void SetValues(const TOtherSettings& values);
  TOtherSettings Values() const;

  // The rows of a grid as file lines (CP932), as OK writes them.
  std::vector<std::string> KeyLines() const;
  std::vector<std::string> MouseLines() const;

  // 追加(&A): a key from the key capture dialog, appended with its command.
  void mnuAddClick();
  // 削除(&D): the current key row, after the user agrees.
  void mnuDeleteClick();
  // The placeholder menu as it is for a control (the option edit, a
  // bookmark template edit or the key grid); rebuilt on every call.
  QMenu* PlaceholderMenuFor(QWidget* control);

  QTabWidget* pgcMain = nullptr;
  QSpinBox* sedAutoPInterval = nullptr;
  QSpinBox* sedAutoLInterval = nullptr;
  QLineEdit* ledEditorName = nullptr;
  QPushButton* btnEditorName = nullptr;
  QLineEdit* ledEditorOption = nullptr;
  QCheckBox* chkSendTo = nullptr;
  QCheckBox* chkLast = nullptr;
  QCheckBox* chkEOArchive = nullptr;
  QRadioButton* rdbFormat1 = nullptr;
  QLineEdit* edtFormat1 = nullptr;
  QRadioButton* rdbFormat2 = nullptr;
  QLineEdit* ledFormat2Main = nullptr;
  QLineEdit* ledFormat2Sub = nullptr;
  QTableWidget* grdKey = nullptr;
  QTableWidget* grdMouse = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;
  QMenu* pmnPlaceholder = nullptr;

  // OK: the files are written (ka.ini first; a failure is reported and
  // stops there), and the dialog closes with OK in any case.
  void accept() override;

 private:
  QWidget* BuildGeneralPage();
  QTableWidget* BuildGrid(const char* name, const char* nameTitle, bool namesEditable);
  void LoadGrid(QTableWidget* grid, const std::vector<std::string>& lines, bool namesEditable);
  void AppendRow(QTableWidget* grid, const std::string& line, bool nameEditable);
  std::vector<std::string> GridLines(const QTableWidget* grid) const;
  void ChooseEditor();
  void ShowPlaceholderMenu(QWidget* control, const QPoint& pos);

  std::string exeDir_;
  IUserDialogs& dialogs_;
};

}  // namespace rpv
