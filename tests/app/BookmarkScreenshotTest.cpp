// Pictures of the しおり menu in both forms and of the bookmark manager, for
// a person to look at. Runs only when RPV_SCREENSHOT_DIR names a folder,
// under a real display, with the corpus present:
//   RPV_SCREENSHOT_DIR=/tmp/shots QT_QPA_PLATFORM=xcb
//     xvfb-run -a -s '-screen 0 1280x900x24' build/tests/test_app --gtest_filter='BookmarkScreenshot*'
#include <QGuiApplication>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
#include <QTableView>
#include <QTest>

#include "AppTestSupport.h"
#include "bookmarks/qt/rpvBookMarkForm.h"
#include "bookmarks/rpvBookMark.h"
#include "render/BookClass.h"

namespace rpv::test {
namespace {

// The whole screen, and the widget on its own (pop-ups escape some grabs).
void Shoot(const std::string& name, QWidget* widget = nullptr) {
  Settle(400);
  const QString dir = qEnvironmentVariable("RPV_SCREENSHOT_DIR") + "/";
  QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  ASSERT_TRUE(screen->grabWindow(0).save(dir + QString::fromStdString(name) + ".png"));
  if (widget) {
    ASSERT_TRUE(widget->grab().save(dir + QString::fromStdString(name) + "-only.png"));
  }
}

// Opens a menu of the menu bar and, when given, one of its submenus.
void ShowMenu(TfrmRPV& form, QAction* subAction = nullptr) {
  form.mnuB->popup(form.mapToGlobal(QPoint(40, form.MenuBarHeight())));
  Settle(400);
  if (subAction) {
    form.mnuB->setActiveAction(subAction);
    Settle(800);
  }
}

}  // namespace

TEST(BookmarkScreenshot, MenusAndManager) {
  if (qEnvironmentVariableIsEmpty("RPV_SCREENSHOT_DIR")) GTEST_SKIP() << "no RPV_SCREENSHOT_DIR";
  const auto corpus = std::filesystem::path(RPV_SOURCE_DIR) / ".." / "shared" / "corpus";
  if (!std::filesystem::exists(corpus / "bocchan.sjis.txt")) GTEST_SKIP() << "no corpus";
  const std::string bocchan = FromNativePath(std::filesystem::canonical(corpus / "bocchan.sjis.txt"));
  const std::string other =
      FromNativePath(std::filesystem::canonical(corpus / "aozora_annotations.sjis.txt"));

  TTempHome home;
  home.Write("info.ini", "[Default]\r\nDirection=27\r\nFontSize=14\r\nRFontSize=7\r\n"
                         "BackColor=15792383\r\nFontColor=0\r\nRFontColor=0\r\nPageMarginLeft=24\r\nPageMarginTop=16\r\n"
                         "PageMarginRight=24\r\nPageMarginBottom=8\r\nSpacing=10\r\n");
  home.Write("rpv.ini", "[General]\r\nLeft=40\r\nTop=30\r\nWidth=900\r\nHeight=640\r\n");
  auto log = std::make_shared<TScriptedDialogs::TLog>();
  auto form = MakeWindow({other}, log);
  form->FormCreate();
  form->SetBookmark();
  form->OpenDocument(bocchan, 0, "");
  // Three pages of the book, the last after two line steps.
  form->SetBookmark();
  for (int i = 0; i < 3; ++i) form->PageForward();
  const int32_t fourthPageTop = form->TopLine;
  form->SetBookmark();
  for (int i = 0; i < 5; ++i) form->PageForward();
  form->LineForward();
  form->LineForward();
  form->SetBookmark();
  ASSERT_EQ(form->BookMarks->Count(), 4);
  ShowMenu(*form);
  Shoot("bookmark-menu-flat", form->mnuB);
  form->mnuB->hide();

  form->Settings.BookMarkType = 1;
  form->BuildBookmarkMenu();
  QAction* group = form->mnuB->actions()[3];
  ASSERT_NE(group->menu(), nullptr);
  ShowMenu(*form, group);
  Shoot("bookmark-menu-grouped", group->menu());
  form->mnuB->hide();

  // The manager: a comment, the middle two moved up, the oldest hidden.
  TfrmBookMark manager(form.get(), form->Dialogs());
  manager.Open(home.Path("bm.csv"));
  manager.show();
  Settle(400);
  log->InputAnswers.push_back(std::string("山嵐と会う所"));
  manager.SelectRows({1, 1});
  manager.EditComment();
  manager.SelectRows({1, 2});
  manager.MoveUp();
  manager.SelectRows({3, 3});
  manager.ToggleVisible();
  manager.SelectRows({0, 1});
  Shoot("bookmark-manager", &manager);
  manager.accept();
  form->ReloadBookMarks();
  form->Settings.BookMarkType = 0;
  form->BuildBookmarkMenu();
  ShowMenu(*form);
  Shoot("bookmark-menu-after-manager", form->mnuB);
  form->mnuB->hide();

  // Reopen the commented bookmark (now first).
  form->GoHead();
  form->ReadBookmark();
  // The very page, even when a long paragraph runs over its top (bm.pos).
  EXPECT_EQ(form->TopLine, fourthPageTop);
  Shoot("bookmark-reopened");
  form->close();
  EXPECT_TRUE(log->Messages.empty()) << log->Messages.front();
}

}  // namespace rpv::test
