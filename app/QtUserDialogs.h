// The user dialogs of the main window as Qt message boxes, input boxes and
// the modeless find dialog.
#pragma once

#include <QPointer>
#include <QString>

#include "app/UserDialogs.h"

class QWidget;

namespace rpv {

class TFindDialog;

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
  std::optional<std::string> ChooseArchiveMember(const std::string& archivePath, int32_t fontColor,
                                                 int32_t backColor) override;

 private:
  QWidget* owner_;
  QString title_;
  QPointer<TFindDialog> find_;
};

}  // namespace rpv
