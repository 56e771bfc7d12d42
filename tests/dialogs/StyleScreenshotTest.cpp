// Pictures of the style menu and dialogs for a person to look at. Runs only
// when RPV_SCREENSHOT_DIR names a folder; QT_SCALE_FACTOR=2 gives the
// high-density pictures:
//   RPV_SCREENSHOT_DIR=/tmp/shots [QT_SCALE_FACTOR=2] build/tests/test_dialogs
//     --gtest_filter='StyleScreenshot*'
#include <QMenu>
#include <QPixmap>
#include <QTabWidget>
#include <QTest>

#include "dialogs/rpvSetUpStyle.h"
#include "dialogs/rpvSetUpStyleList.h"
#include "render/BookClass.h"
#include "tests/app/AppTestSupport.h"

namespace rpv::test {
namespace {

void Save(QWidget& widget, const std::string& name) {
  for (int i = 0; i < 10; ++i) {
    QTest::qWait(20);
    QCoreApplication::processEvents();
  }
  const QString dir = qEnvironmentVariable("RPV_SCREENSHOT_DIR");
  const QString ratio = QString::number(widget.devicePixelRatioF());
  ASSERT_TRUE(widget.grab().save(dir + "/" + QString::fromStdString(name) + "@" + ratio + "x.png"));
}

}  // namespace

TEST(StyleScreenshot, EditorTabsListMenuAndSwitchedPage) {
  if (qEnvironmentVariableIsEmpty("RPV_SCREENSHOT_DIR")) GTEST_SKIP() << "no RPV_SCREENSHOT_DIR";
  const std::string book = FromNativePath(std::filesystem::path(RPV_SOURCE_DIR) / ".." / "shared" /
                                          "corpus" / "bocchan.sjis.txt");
  if (!FileExists(book)) GTEST_SKIP() << "corpus not found: " << book;
  TTempHome home;
  home.Write("info.ini",
             "[Default]\r\nDirection=27\r\nFontName=" + Utf8ToCp932("@ＭＳ 明朝") +
                 "\r\nBackColor=15792383\r\nFontColor=0\r\nRFontColor=0\r\nPageMarginLeft=24\r\n"
                 "PageMarginRight=24\r\nSpacing=12\r\n[" +
                 Utf8ToCp932("横組み ゾ") +
                 "]\r\nDirection=0\r\nFontName=IPAGothic\r\nRFontName=IPAGothic\r\nBackColor=3158064\r\nFontColor=14737632"
                 "\r\nRFontColor=14737632\r\nFontSize=13\r\nPageMarginLeft=30\r\n"
                 "PageMarginTop=20\r\nSpacing=9\r\n[Third]\r\n");
  home.Write("rpv.ini", "[General]\r\nLeft=0\r\nTop=0\r\nWidth=900\r\nHeight=640\r\n");
  auto log = std::make_shared<TScriptedDialogs::TLog>();
  auto form = MakeWindow({book}, log);
  form->FormCreate();
  for (int i = 0; i < 6; ++i) form->PageForward();
  Save(*form, "page-vertical");
  form->StyleItems[1]->trigger();
  Save(*form, "page-horizontal");
  form->StyleItems[0]->trigger();
  Save(*form, "page-vertical-again");

  form->mnuS->popup(form->mapToGlobal(QPoint(100, 0)));
  Save(*form->mnuS, "menu");
  form->mnuS->hide();

  TfrmStyleSetUp editor(form.get());
  editor.Open(home.Path("info.ini"), "Default", form->ClientWidth(), form->ClientHeight(),
              form->PageDpi(), form->Book.get(), form->Book->SourceLineOf(form->TopLine));
  editor.show();
  for (int tab = 0; tab < editor.pgcSetUp->count(); ++tab) {
    editor.pgcSetUp->setCurrentIndex(tab);
    Save(editor, "editor-tab" + std::to_string(tab + 1));
  }
  editor.hide();

  TfrmSetUpList list(form.get(), TStyleDialogContext{home.Path("info.ini")}, form->Dialogs());
  list.SetNames(form->StyleNames);
  list.show();
  Save(list, "list");
}

}  // namespace rpv::test
