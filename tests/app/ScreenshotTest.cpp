// Pictures of the window for a person to look at. Runs only when
// RPV_SCREENSHOT_DIR names a folder, under a real display (Xvfb):
//   RPV_SCREENSHOT_DIR=/tmp/shots QT_QPA_PLATFORM=xcb
//     xvfb-run -a -s '-screen 0 1280x900x24' build/tests/test_app --gtest_filter='Screenshot*'
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
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

namespace rpv::test {
namespace {

std::string FirstShown(const TfrmRPV& form) {
  const TReadingPosition p = form.Book->PositionAt(form.TopLine + form.LineOffset);
  return "line " + std::to_string(p.Line) + " offset " + std::to_string(p.Offset);
}

}  // namespace

// A real book: the reading position through resize, full screen and a
// restart; the find mark; the progress panel; a Qt dialog in Japanese.
TEST(Screenshot, ReadingPositionFindAndProgress) {
  if (qEnvironmentVariableIsEmpty("RPV_SCREENSHOT_DIR")) GTEST_SKIP() << "no RPV_SCREENSHOT_DIR";
  const auto book = std::filesystem::path(RPV_SOURCE_DIR) / ".." / "shared" / "corpus" /
                    "bocchan.sjis.txt";
  if (!std::filesystem::exists(book)) GTEST_SKIP() << "no corpus at " << book;
  App();
  TTempHome home;
  WriteStyle(home, true);
  home.Write("rpv.ini", "[General]\r\nLeft=40\r\nTop=30\r\nWidth=900\r\nHeight=640\r\n");
  auto form = std::make_unique<TfrmRPV>(std::vector<std::string>{FromNativePath(book)});
  form->FormCreate();
  // A page that begins inside a paragraph.
  for (int page = 40; page < 200 && form->Book->PositionAt(form->TopLine).Offset == 0; ++page)
    form->GoToPage(page);
  const std::string start = FirstShown(*form);
  std::fprintf(stderr, "start: %s\n", start.c_str());
  Shoot("pos-1-page");
  form->resize(form->width() + 300, form->height() - 120);
  Shoot("pos-2-resized");
  std::fprintf(stderr, "resized: %s\n", FirstShown(*form).c_str());
  form->resize(form->width() - 300, form->height() + 120);
  Shoot("pos-3-back");
  EXPECT_EQ(FirstShown(*form), start);
  form->ToggleFullScreen();
  Shoot("pos-4-fullscreen");
  form->ToggleFullScreen();
  Shoot("pos-5-windowed");
  EXPECT_EQ(FirstShown(*form), start);
  form->close();
  form = std::make_unique<TfrmRPV>(std::vector<std::string>{});
  form->FormCreate();
  Shoot("pos-6-restarted");
  EXPECT_EQ(FirstShown(*form), start);

  form->ShowFindDialog();
  auto* find = form->findChild<QDialog*>();
  ASSERT_NE(find, nullptr);
  find->findChild<QLineEdit*>()->setText(QStringLiteral("赤シャツ"));
  QTest::mouseClick(find->findChildren<QPushButton*>()[0], Qt::LeftButton);
  Shoot("find-1-mark");
  QTest::mouseClick(find->findChildren<QPushButton*>()[0], Qt::LeftButton);
  Shoot("find-2-next");
  find->findChild<QLineEdit*>()->setText(QStringLiteral("ありえない言葉"));
  QTest::mouseClick(find->findChildren<QPushButton*>()[0], Qt::LeftButton);
  Shoot("find-3-not-found");
  find->hide();

  QFileDialog files(form.get());
  files.setOption(QFileDialog::DontUseNativeDialog);
  files.show();
  Shoot("qt-dialog-japanese");
  files.close();

  home.Write("slow.sh", "#!/bin/sh\nsleep 2\ncat\n");
  std::filesystem::permissions(home.Native() / "slow.sh", std::filesystem::perms::owner_exec,
                               std::filesystem::perm_options::add);
  form->Book->Tools = {TTool{"slow", home.Path("slow.sh"), true}};
  QTimer::singleShot(800, form.get(), [] { Shoot("loading-panel"); });
  form->OpenDocument(FromNativePath(book), -1, "");
  form->close();
}

}  // namespace rpv::test
