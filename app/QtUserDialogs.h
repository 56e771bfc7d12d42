// The user dialogs of the main window as Qt message boxes, input boxes and
// the modeless find dialog.
#pragma once

#include <QPointer>
#include <QString>

#include "app/UserDialogs.h"

class QWidget;

namespace rpv {

class TFindDialog;

// Qt's own dialogs (open, colour, font, the buttons of message boxes) in
// Japanese, like everything else of the program; once per application.
void InstallQtTranslations();

class TQtUserDialogs : public IUserDialogs {
 public:
  // The dialogs are owned by (and centred on) the given window.
  explicit TQtUserDialogs(QWidget* owner);
  ~TQtUserDialogs() override;

  void ShowMessage(const std::string& text) override;
  bool ConfirmOkCancel(const std::string& title, const std::string& text) override;
  std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                        const std::string& initial) override;
  void ShowFind(int options, FindHandler onFind) override;
  void SetApplicationTitle(const std::string& title) override;
  std::optional<std::string> OpenFileName(const std::string& folder,
                                          const std::vector<std::string>& nameFilters) override;
  void OpenUrl(const std::string& url) override;
  bool EditStyle(const TStyleDialogContext& context, const std::string& section,
                 int& page) override;
  std::vector<std::string> EditStyleList(const TStyleDialogContext& context,
                                         std::vector<std::string> names) override;
  bool EditBookMarks(const std::string& path) override;
  bool OtherSettings(const std::string& exeDir, TOtherSettings& values) override;
  void ShowAbout(const std::string& productName, const std::string& version,
                 const std::string& author, const std::string& mail,
                 const std::string& url) override;
  std::optional<std::string> ChooseArchiveMember(const std::string& archivePath, int32_t fontColor,
                                                 int32_t backColor) override;

 private:
  QWidget* owner_;
  QString title_;
  QPointer<TFindDialog> find_;
};

}  // namespace rpv
