// Pictures of the other-settings dialog (each tab), the key capture dialog
// and the about box for a person to look at. Runs only when
// RPV_SCREENSHOT_DIR names a folder:
//   RPV_SCREENSHOT_DIR=/tmp/shots build/tests/test_dialogs --gtest_filter='DialogScreenshot*'
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>
#include <QTest>

#include "app/OtherSettings.h"
#include "app/ProductInfo.h"
#include "app/QtText.h"
#include "dialogs/AboutDlgs.h"
#include "dialogs/rpvInputKey.h"
#include "dialogs/rpvSetUpOther.h"
#include "tests/app/AppTestSupport.h"

namespace rpv::test {
namespace {

void Save(QWidget& widget, const char* name) {
  QTest::qWait(50);
  const QString dir = qEnvironmentVariable("RPV_SCREENSHOT_DIR");
  ASSERT_TRUE(widget.grab().save(dir + "/" + QString::fromLatin1(name) + ".png"));
}

TEST(DialogScreenshot, OtherSettingsKeyCaptureAndAbout) {
  if (qEnvironmentVariableIsEmpty("RPV_SCREENSHOT_DIR")) GTEST_SKIP() << "RPV_SCREENSHOT_DIR not set";
  TTempHome home;
  auto log = std::make_shared<TScriptedDialogs::TLog>();
  TScriptedDialogs dialogs(log);
  App();
  TfrmOtherSetUp settings(nullptr, home.Dir(), dialogs);
  TProgramSettings program;
  program.EditorName = "/usr/bin/mousepad";
  program.Format1 = S("%c(%d) %b行目");
  program.Format2Sub = S("%d %b行目");
  settings.SetValues(OtherSettingsFrom(program, true));
  settings.show();
  for (int tab = 0; tab < settings.pgcMain->count(); ++tab) {
    settings.pgcMain->setCurrentIndex(tab);
    Save(settings, ("other-settings-" + std::to_string(tab)).c_str());
  }

  TfrmInputKey capture;
  for (const std::string& c : CommandNames()) capture.cmbValue->addItem(ToQString(c));
  capture.cmbValue->setCurrentText(QStringLiteral("検索"));
  capture.lblKey->setText(QStringLiteral("キーの操作"));
  capture.lblValue->setText(QStringLiteral("イベント"));
  capture.show();
  capture.edtKeyKeyDown('F', true, true, false);
  capture.edtKeyKeyUp();
  Save(capture, "key-capture");

  TfrmAboutBox about;
  about.SetTexts(Utf8ToCp932("【瑠頁～るぺい～】"), std::string(kProductVersion), std::string(kAuthorName),
                 std::string(kAuthorMail), std::string(kHomePage));
  about.show();
  Save(about, "about");
}

}  // namespace
}  // namespace rpv::test
