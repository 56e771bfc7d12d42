// The style editor and the style list as the user drives them (offscreen).
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <map>

#include "tests/app/AppTestSupport.h"
#include "app/QtUserDialogs.h"
#include "dialogs/StylePreview.h"
#include "dialogs/StyleSections.h"
#include "dialogs/rpvSetUpStyle.h"
#include "dialogs/rpvSetUpStyleList.h"
#include "platform/IniFile.h"

namespace rpv::test {
namespace {

const std::vector<std::string> kFonts = {"IPAGothic", "@IPAGothic", "IPAMincho", "@IPAMincho"};

std::string Caption(const QWidget& w) { return w.windowTitle().toStdString(); }

// Every control's state by object name, to compare two openings.
std::map<std::string, std::string> Snapshot(const TfrmStyleSetUp& d) {
  std::map<std::string, std::string> out;
  for (auto* w : d.findChildren<QSpinBox*>()) out[w->objectName().toStdString()] = w->text().toStdString();
  for (auto* w : d.findChildren<QCheckBox*>())
    out[w->objectName().toStdString()] = w->isChecked() ? "1" : "0";
  for (auto* w : d.findChildren<QComboBox*>())
    out[w->objectName().toStdString()] = w->currentText().toStdString();
  for (auto* w : d.findChildren<QLineEdit*>())
    if (!w->objectName().isEmpty()) out[w->objectName().toStdString()] = w->text().toStdString();
  for (auto* g : d.findChildren<QButtonGroup*>())
    out[g->objectName().toStdString()] = std::to_string(g->checkedId());
  return out;
}

// Dialogs for the list: answers from the log, the editor just recorded.
class TListScript : public TScriptedDialogs {
 public:
  using TScriptedDialogs::TScriptedDialogs;
  bool EditStyle(const TStyleDialogContext&, const std::string& section, int&) override {
    edited.push_back(Cp932ToUtf8(section));
    return false;
  }
  std::vector<std::string> edited;
};

}  // namespace

TEST(StyleEditor, CaptionIsTheStyleRecordsOwnArithmetic) {
  App();
  TTempHome home;
  const std::string ini = home.Path("info.ini");
  TfrmStyleSetUp d(nullptr, kFonts);
  d.Open(ini, "Default", 640, 480, 96);
  EXPECT_EQ(Caption(d), "設定 - 行数：13 文字数：17");
  d.rdgDirection->button(0)->click();
  EXPECT_EQ(Caption(d), "設定 - 行数：8 文字数：27");
  // Without the ruby bit the reserve bit still keeps the ruby band.
  d.chkRuby->setChecked(false);
  EXPECT_EQ(Caption(d), "設定 - 行数：8 文字数：27");
  // Any settings: the title is what the page's record says for them.
  d.sedFontSize->setValue(11);
  d.sedSpacing->setValue(7);
  d.sedBetweenChar->setValue(-2);
  d.sedMarginLeft->setValue(30);
  d.rdgColumn->button(1)->click();
  d.sedColumnSpace->setValue(20);
  d.rdgHeader->button(0)->click();
  d.chkHang->setChecked(false);
  d.sedRFontSize->setValue(12);
  for (bool vertical : {false, true}) {
    if (vertical) d.rdgDirection->button(1)->click();
    TInfo page = d.Style();
    page.PageWidth = 640;
    page.PageHeight = 480;
    page.ScreenDpi = 96;
    page.SetRubyFlag(kRubyOn, true);  // the reserve bit 4 is still set
    EXPECT_EQ(Caption(d), "設定 - 行数：" + std::to_string(page.LinesPerColumn()) + " 文字数：" +
                              std::to_string(page.CharsPerLine()));
  }
  // The preview follows: it laid out a page with the settings on screen.
  ASSERT_NE(d.Preview(), nullptr);
  EXPECT_FALSE(d.Preview()->Page().isNull());
  EXPECT_EQ(d.Preview()->Page().size(), QSize(640, 480));
  EXPECT_GT(d.Preview()->LinesShown(), 0);
}

TEST(StyleEditor, DirectionSwapsTheVerticalFaceAndPlaceholdersGoInAtTheCaret) {
  App();
  TTempHome home;
  TfrmStyleSetUp d(nullptr, kFonts);
  d.Open(home.Path("info.ini"), "Default", 640, 480, 96);
  d.cmbFontName->setCurrentText("IPAMincho");
  d.rdgDirection->button(1)->click();
  EXPECT_EQ(d.cmbFontName->currentText().toStdString(), "@IPAMincho");
  d.rdgDirection->button(0)->click();
  EXPECT_EQ(d.cmbFontName->currentText().toStdString(), "IPAMincho");
  EXPECT_EQ(d.Style().Direction, 0);

  d.show();
  d.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
  d.ledFooter->setText("[]");
  d.ledFooter->setCursorPosition(1);
  d.ledFooter->setFocus();
  QCoreApplication::processEvents();
  const auto items = d.popHeaderFooter->actions();
  ASSERT_EQ(items.size(), 9);
  EXPECT_EQ(items[8]->text().toStdString(), "%a　テキストファイルの一行目/HTMLファイルのタイトル");
  items[1]->trigger();
  EXPECT_EQ(d.ledFooter->text().toStdString(), "[%P]");
}

TEST(StyleEditor, OkWritesWhatTheDialogShowedAndCancelWritesNothing) {
  App();
  TTempHome home;
  // Hand-edited: out of every range, a face that is not installed, a
  // missing picture, a name with blanks, brackets and a "]" trail byte (ゾ).
  const std::string section = Utf8ToCp932("My [x] ゾ style");
  const std::string original =
      "[Default]\r\nFontSize=9\r\n[" + section +
      "]\r\nFontSize=500\r\nRFontSize=1\r\nPageMarginLeft=9000\r\nBetweenChar=-900\r\n"
      "FontWeight=600\r\nColumnCount=7\r\nbytHeader=9\r\nFontName=" +
      Utf8ToCp932("@ＭＳ 明朝") +
      "\r\nblnBackGround=1\r\nstrBackGround=/no/such/picture.jpg\r\nHR=-;=\r\nTab=4\r\n"
      "Custom=kept\r\n";
  const std::string ini = home.Write("info.ini", original);

  {
    TfrmStyleSetUp d(nullptr, kFonts);
    d.ChooseColor = [](int32_t) { return std::optional<int32_t>(0x123456); };
    d.Open(ini, section, 800, 600, 96);
    d.btnBackColor->click();
    d.sedMarginTop->setValue(40);
    d.reject();
    EXPECT_EQ(home.Read("info.ini"), original);
  }
  std::map<std::string, std::string> shown;
  {
    TfrmStyleSetUp d(nullptr, kFonts);
    d.ChooseColor = [](int32_t) { return std::optional<int32_t>(0x123456); };
    d.Open(ini, section, 800, 600, 96);
    EXPECT_EQ(d.sedFontSize->value(), 72);
    EXPECT_EQ(d.sedRFontSize->value(), 3);
    EXPECT_EQ(d.sedMarginLeft->value(), 255);
    EXPECT_EQ(d.sedBetweenChar->value(), -255);
    EXPECT_FALSE(d.chkBold->isChecked());
    EXPECT_EQ(d.rdgColumn->checkedId(), 2);
    EXPECT_EQ(d.cmbFontName->currentText().toStdString(), "@ＭＳ 明朝");
    d.btnLinkColor->click();
    d.ChoosePicture = [] { return std::optional<std::string>("/pictures/back.jpg"); };
    d.chkBackGround->setChecked(false);
    d.btnBackGround->click();
    EXPECT_EQ(d.edtBackGround->text().toStdString(), "/pictures/back.jpg");
    EXPECT_FALSE(d.chkBackGround->isChecked());
    d.ledHeader->setText("%t");
    shown = Snapshot(d);
    d.btnOK->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
  }
  const TIniFile written(ini);
  EXPECT_EQ(written.ReadSections().size(), 2u);
  EXPECT_EQ(written.ReadInteger(section, "FontWeight", 0), 400);
  EXPECT_EQ(written.ReadInteger(section, "LinkColor", 0), 0x123456);
  EXPECT_EQ(written.ReadString(section, "RFontName", ""), Utf8ToCp932("@ＭＳ 明朝"));
  EXPECT_EQ(written.ReadString(section, "HR", ""), "-;=");
  EXPECT_EQ(written.ReadInteger(section, "Tab", 0), 4);
  EXPECT_EQ(written.ReadString(section, "strBackGround", ""), "/pictures/back.jpg");
  EXPECT_EQ(written.ReadString(section, "Custom", ""), "kept");
  EXPECT_EQ(written.ReadInteger("Default", "FontSize", 0), 9);

  TfrmStyleSetUp again(nullptr, kFonts);
  again.Open(ini, section, 800, 600, 96);
  EXPECT_EQ(Snapshot(again), shown);
}

TEST(StyleList, RenameDeleteReorderAndTheMenuOnlyOverAName) {
  App();
  TTempHome home;
  const std::string original =
      "[Default]\r\nFontSize=9\r\n[S1x]\r\nFontSize=10\r\n[A]\r\nstrHeader=[S1]\r\n"
      "[S1]\r\nFontSize=11\r\n[B]\r\nFontSize=12";
  const std::string ini = home.Write("info.ini", original);
  auto log = std::make_shared<TScriptedDialogs::TLog>();
  TListScript dialogs(log);
  TStyleDialogContext context;
  context.SettingsFile = ini;
  TfrmSetUpList list(nullptr, context, dialogs);
  list.SetNames({"Default", "S1x", "A", "S1", "B"});
  list.show();
  QCoreApplication::processEvents();

  // Rename S1: a duplicate (any case) and an empty name are refused first.
  list.lstSection->setCurrentRow(2);
  log->InputAnswers = {std::string("default"), std::string("  "), std::string("S2")};
  list.popSNameClick();
  EXPECT_EQ(log->Prompts, (std::vector<std::string>{"S1", "default", "  "}));
  EXPECT_EQ(log->Messages.size(), 2u);
  EXPECT_EQ(home.Read("info.ini"),
            "[Default]\r\nFontSize=9\r\n[S1x]\r\nFontSize=10\r\n[A]\r\nstrHeader=[S1]\r\n"
            "[S2]\r\nFontSize=11\r\n[B]\r\nFontSize=12");
  // Katakana whose trail bytes are an upper- and a lower-case letter are not
  // the same name.
  EXPECT_TRUE(IsNewStyleName("\x83\x61", {"\x83\x41"}));

  // Reorder: B before S2; the rows and the sections move together.
  list.lstSection->setCurrentRow(3);
  list.MoveSelected(-1);
  EXPECT_EQ(list.Names(), (std::vector<std::string>{"Default", "S1x", "A", "B", "S2"}));
  EXPECT_EQ(TIniFile(ini).ReadSections(),
            (std::vector<std::string>{"Default", "S1x", "A", "B", "S2"}));
  EXPECT_EQ(TIniFile(ini).ReadInteger("B", "FontSize", 0), 12);

  // Delete A, after a cancelled first question.
  list.lstSection->setCurrentRow(1);
  list.popSDelClick();
  log->ConfirmAnswers = {true};
  list.popSDelClick();
  EXPECT_EQ(log->Confirmations, (std::vector<std::string>{"\"A\"を削除します。", "\"A\"を削除します。"}));
  EXPECT_EQ(home.Read("info.ini"),
            "[Default]\r\nFontSize=9\r\n[S1x]\r\nFontSize=10\r\n[B]\r\nFontSize=12\r\n"
            "[S2]\r\nFontSize=11\r\n");
  EXPECT_EQ(list.Names(), (std::vector<std::string>{"Default", "S1x", "B", "S2"}));

  // The editor opens on the selected style.
  list.lstSection->setCurrentRow(2);
  list.popSChage->trigger();
  EXPECT_EQ(dialogs.edited, std::vector<std::string>{"S2"});

  // The menu opens over a name only.
  const QRect last = list.lstSection->visualItemRect(list.lstSection->item(2));
  EXPECT_TRUE(list.PopUpAt(last.center(), false));
  EXPECT_FALSE(list.PopUpAt(QPoint(last.center().x(), last.bottom() + 40), false));
}

}  // namespace rpv::test

namespace rpv::test {

// The Qt dialogs behind the window's interface: modal, on the tab asked for,
// and the list hands its rows back with the first name in front.
TEST(StyleDialogs, QtDialogsOpenModallyAndHandBackTheirResults) {
  App();
  TTempHome home;
  const std::string ini = home.Write("info.ini", "[Mine]\r\nFontSize=12\r\n[A]\r\n");
  QWidget owner;
  TQtUserDialogs dialogs(&owner);
  TStyleDialogContext context;
  context.SettingsFile = ini;
  context.PageWidth = 640;
  context.PageHeight = 480;
  std::string title;
  QTimer::singleShot(0, [&] {
    auto* editor = dynamic_cast<TfrmStyleSetUp*>(QApplication::activeModalWidget());
    ASSERT_NE(editor, nullptr);
    title = editor->windowTitle().toStdString();
    editor->pgcSetUp->setCurrentIndex(1);
    editor->btnCancel->click();
  });
  int page = 3;
  EXPECT_FALSE(dialogs.EditStyle(context, "A", page));
  EXPECT_EQ(page, 1);
  EXPECT_EQ(title.rfind("設定 - 行数：", 0), 0u);
  EXPECT_EQ(home.Read("info.ini"), "[Mine]\r\nFontSize=12\r\n[A]\r\n");

  QTimer::singleShot(0, [&] {
    auto* list = dynamic_cast<TfrmSetUpList*>(QApplication::activeModalWidget());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->lstSection->count(), 1);
    list->btnOK->click();
  });
  EXPECT_EQ(dialogs.EditStyleList(context, {"Mine", "A"}), (std::vector<std::string>{"Mine", "A"}));
}

}  // namespace rpv::test
