// Pictures of the window for a person to look at. Runs only when
// RPV_SCREENSHOT_DIR names a folder, under a real display (Xvfb):
//   RPV_SCREENSHOT_DIR=/tmp/shots QT_QPA_PLATFORM=xcb
//     xvfb-run -a -s '-screen 0 1280x900x24' build/tests/test_app --gtest_filter='Screenshot*'
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include "AppTestSupport.h"
#include "app/PageView.h"
#include "render/BookClass.h"

namespace rpv::test {
namespace {

void Settle(int ms = 300) {
  for (int i = 0; i < ms / 20; ++i) {
    QTest::qWait(20);
    QCoreApplication::processEvents();
  }
}

void Shoot(const std::string& name) {
  Settle();
  const QString dir = qEnvironmentVariable("RPV_SCREENSHOT_DIR");
  QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  const QPixmap shot = screen->grabWindow(0);
  ASSERT_TRUE(shot.save(dir + "/" + QString::fromStdString(name) + ".png"));
}

void WriteStyle(const TTempHome& home, bool vertical) {
  std::string ini = "[Default]\r\nDirection=" + std::string(vertical ? "27" : "0") + "\r\n";
  ini += "FontSize=14\r\nRFontSize=7\r\nBackColor=15792383\r\nFontColor=0\r\nRFontColor=0\r\n";
  ini += "PageMarginLeft=24\r\nPageMarginTop=16\r\nPageMarginRight=24\r\nPageMarginBottom=8\r\n";
  ini += "Spacing=10\r\n";
  if (!vertical) ini += "FontName=" + Utf8ToCp932("ＭＳ 明朝") + "\r\n";
  home.Write("info.ini", ini);
}

}  // namespace

TEST(Screenshot, VerticalHorizontalAndFullScreen) {
  if (qEnvironmentVariableIsEmpty("RPV_SCREENSHOT_DIR")) GTEST_SKIP() << "no RPV_SCREENSHOT_DIR";
  const std::string sample = FromNativePath(std::filesystem::path(RPV_SOURCE_DIR) / "samples" /
                                            "sample.sjis.txt");
  for (const bool vertical : {true, false}) {
    TTempHome home;
    WriteStyle(home, vertical);
    home.Write("rpv.ini", "[General]\r\nLeft=40\r\nTop=30\r\nWidth=900\r\nHeight=640\r\n");
    auto log = std::make_shared<TScriptedDialogs::TLog>();
    auto form = MakeWindow({sample}, log);
    form->FormCreate();
    Shoot(vertical ? "vertical" : "horizontal");
    form->PageForward();
    Shoot(vertical ? "vertical-page2" : "horizontal-page2");
    if (vertical) {
      form->mnuMain->setActiveAction(form->mnuO->menuAction());
      Shoot("vertical-menu-open");
      form->mnuO->hide();
      form->ToggleFullScreen();
      Shoot("fullscreen-hidden-menu");
      form->RevealMenu(0);
      Shoot("fullscreen-revealed-menu");
      form->RevealMenu(400);
      Shoot("fullscreen-hidden-again");
      form->ToggleFullScreen();
      Shoot("windowed-again");
    }
    form->close();
    EXPECT_TRUE(log->Messages.empty()) << log->Messages.front();
  }
}

}  // namespace rpv::test
