// The about box TfrmAboutBox: product name, version, rights notice, the
// author's mail address and home page (both clickable) and the icon.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QPushButton;

namespace rpv {

class TfrmAboutBox : public QDialog {
 public:
  explicit TfrmAboutBox(QWidget* parent = nullptr);

  // The five texts (CP932) the caller fills in.
  void SetTexts(const std::string& productName, const std::string& version,
                const std::string& author, const std::string& mail, const std::string& url);
  // Hands an address ("mailto:..." or the home page) to the desktop.
  std::function<void(const std::string&)> OnOpenUrl;

  void lblMailClick();
  void lblUrlClick();

  QLabel* imgIcon = nullptr;
  QLabel* lblProductName = nullptr;
  QLabel* lblVersion = nullptr;
  QLabel* lblCopyright = nullptr;
  QLabel* lblMail = nullptr;
  QLabel* lblUrl = nullptr;
  QLabel* lblComments = nullptr;
  QPushButton* btnOk = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::string productName_, version_, author_, mail_, url_;
};

}  // namespace rpv
