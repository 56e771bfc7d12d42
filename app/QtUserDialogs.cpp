#include "app/QtUserDialogs.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QLibraryInfo>
#include <QTranslator>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QUrl>
#include <QMessageBox>
#include <QTabWidget>

#include "app/FindDialog.h"
#include "app/QtText.h"
#include "dialogs/rpvSetUpStyle.h"
#include "dialogs/rpvSetUpStyleList.h"
#include "bookmarks/qt/rpvBookMarkForm.h"
#include "dialogs/AboutDlgs.h"
#include "dialogs/rpvSetUpOther.h"
#include "archive/qt/ArchiveForm.h"

namespace rpv {

void InstallQtTranslations() {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr || app->property("rpvQtJapanese").toBool()) return;
  app->setProperty("rpvQtJapanese", true);
  auto* texts = new QTranslator(app);
  if (texts->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(texts);
}

TQtUserDialogs::TQtUserDialogs(QWidget* owner) : owner_(owner) { InstallQtTranslations(); }

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
    return handler && handler(PatternFromQString(pattern), opts);
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
  return PathFromQString(QDir::toNativeSeparators(chosen));
}

void TQtUserDialogs::OpenUrl(const std::string& url) {
  QDesktopServices::openUrl(QUrl(ToQString(url), QUrl::TolerantMode));
}

bool TQtUserDialogs::EditStyle(const TStyleDialogContext& context, const std::string& section,
                               int& page) {
  TfrmStyleSetUp editor(owner_);
  editor.pgcSetUp->setCurrentIndex(page);
  editor.Open(context.SettingsFile, section, context.PageWidth, context.PageHeight, context.Dpi,
              context.Book, context.SourceLine);
  const bool ok = editor.exec() == QDialog::Accepted;
  page = editor.pgcSetUp->currentIndex();
  return ok;
}

std::vector<std::string> TQtUserDialogs::EditStyleList(const TStyleDialogContext& context,
                                                       std::vector<std::string> names) {
  TfrmSetUpList list(owner_, context, *this);
  list.SetNames(names);
  list.exec();
  return list.Names();
}

bool TQtUserDialogs::EditBookMarks(const std::string& path) {
  TfrmBookMark form(owner_, *this);
  try {
    form.Open(path);
  } catch (const EBookMarkError& e) {
    ShowMessage(LoadErrorMessage(path, e));
    return false;
  }
  return form.exec() == QDialog::Accepted;
}

bool TQtUserDialogs::OtherSettings(const std::string& exeDir, TOtherSettings& values) {
  TfrmOtherSetUp dialog(owner_, exeDir, *this);
  dialog.SetValues(values);
  if (dialog.exec() != QDialog::Accepted) return false;
  values = dialog.Values();
  return true;
}

void TQtUserDialogs::ShowAbout(const std::string& productName, const std::string& version,
                               const std::string& author, const std::string& mail,
                               const std::string& url) {
  TfrmAboutBox box(owner_);
  box.SetTexts(productName, version, author, mail, url);
  box.OnOpenUrl = [this](const std::string& address) { OpenUrl(address); };
  box.exec();
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
