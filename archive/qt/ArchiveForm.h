// TArchiveForm: the member chooser. It lists the regular files of an
// archive, sorted, in the page's colours; Open (the default button), a
// double click or Enter extracts the chosen one into the program's
// "archive" folder and closes with OK; Cancel or Esc closes with nothing.
// Messages go through the owner's message function (the window's dialogs).
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <string>

#include "archive/Archiver.h"

class QListWidget;
class QPushButton;
class QWidget;

namespace rpv {

class TArchiveForm : public QDialog {
 public:
  TArchiveForm(QWidget* parent, std::function<void(const std::string&)> showMessage);

  std::string ArchivePath;  // set before FormShow
  std::string ChosenFile;   // the extracted copy once a member is extracted
  TArchiverOptions Options;

  // The list in the page's colours (Windows colour values).
  void SetListColours(int32_t fontColor, int32_t backColor);
  // Caption and list from ArchivePath; false when the archive cannot be
  // listed (the message has been shown) and the chooser should not open.
  bool FormShow();
  // Extracts member into folder; on success member := the copy's path.
  bool ExtractMember(const std::string& folder, std::string& member);
  // The Open button, a double click and Enter.
  void OpenSelected();

  QListWidget* lstFileList;
  QWidget* Panel1;
  QPushButton* btnOpen;
  QPushButton* btnCancel;

 protected:
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  std::function<void(const std::string&)> showMessage_;
};

}  // namespace rpv
