#include "app/QtUserDialogs.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QUrl>
#include <QMessageBox>

#include "app/FindDialog.h"
#include "app/QtText.h"
#include "archive/qt/ArchiveForm.h"

namespace rpv {

TQtUserDialogs::TQtUserDialogs(QWidget* owner) : owner_(owner) {}

// The find dialog is a child of the owner window and goes with it.
TQtUserDialogs::~TQtUserDialogs() = default;

void TQtUserDialogs::ShowMessage(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, title_, ToQString(text), QMessageBox::Ok, owner_);
  box.exec();
}

bool TQtUserDialogs::ConfirmOkCancel(const std::string& title, const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, ToQString(title), ToQString(text),
                  QMessageBox::Ok | QMessageBox::Cancel, owner_);
  box.setDefaultButton(QMessageBox::Ok);
  return box.exec() == QMessageBox::Ok;
}

std::optional<std::string> TQtUserDialogs::InputQuery(const std::string& caption,
                                                      const std::string& prompt,
                                                      const std::string& initial) {
  bool ok = false;
  const QString text = QInputDialog::getText(owner_, ToQString(caption), ToQString(prompt),
                                             QLineEdit::Normal, ToQString(initial), &ok);
  if (!ok) return std::nullopt;
  return FromQString(text);
}

void TQtUserDialogs::ShowFind(int options, FindHandler onFind) {
  if (!find_) {
    find_ = new TFindDialog(owner_);
    find_->SetOptions(options);
  }
  find_->OnFind = [handler = std::move(onFind)](const QString& pattern, int opts) {
    if (handler) handler(FromQString(pattern), opts);
  };
  find_->show();
  find_->raise();
  find_->activateWindow();
}

void TQtUserDialogs::SetApplicationTitle(const std::string& title) { title_ = ToQString(title); }

std::optional<std::string> TQtUserDialogs::OpenFileName(const std::string& folder,
                                                        const std::vector<std::string>& nameFilters) {
  QStringList filters;
  for (const auto& filter : nameFilters) filters << ToQString(filter);
  const QString chosen = QFileDialog::getOpenFileName(
      owner_, QString(), ToQString(folder), filters.join(QStringLiteral(";;")));
  if (chosen.isEmpty()) return std::nullopt;
  return FromQString(QDir::toNativeSeparators(chosen));
}

void TQtUserDialogs::OpenUrl(const std::string& url) {
  QDesktopServices::openUrl(QUrl(ToQString(url), QUrl::TolerantMode));
}

std::optional<std::string> TQtUserDialogs::ChooseArchiveMember(const std::string& archivePath,
                                                               int32_t fontColor,
                                                               int32_t backColor) {
  TArchiveForm form(owner_, [this](const std::string& text) { ShowMessage(text); });
  form.ArchivePath = archivePath;
  form.SetListColours(fontColor, backColor);
  if (!form.FormShow() || form.exec() != QDialog::Accepted) return std::nullopt;
  return form.ChosenFile;
}

}  // namespace rpv
