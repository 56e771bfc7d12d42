// The other-settings dialog and the key capture dialog as a user drives
// them, and their effect on the window: the files written on OK, keys
// added and deleted, placeholders, intervals and the Send To entry.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/OtherSettings.h"
#include "app/commands/Assignments.h"
#include "dialogs/rpvInputKey.h"
#include "dialogs/rpvSetUpOther.h"
#include "tests/app/AppTestSupport.h"

namespace rpv::test {
namespace {

std::string CrLfJoined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

// Runs action against the next modal dialog of type T once it is open.
template <typename T>
void WhenModal(std::function<void(T&)> action) {
  QTimer::singleShot(0, [action] {
    auto* dialog = dynamic_cast<T*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    action(*dialog);
  });
}

void Press(QWidget* w, Qt::Key key, Qt::KeyboardModifiers held) {
  QKeyEvent event(QEvent::KeyPress, key, held);
  QApplication::sendEvent(w, &event);
}
void Release(QWidget* w, Qt::Key key, Qt::KeyboardModifiers held) {
  QKeyEvent event(QEvent::KeyRelease, key, held);
  QApplication::sendEvent(w, &event);
}

// The window's dialogs, with the other-settings dialog real and driven by
// a script.
class TSettingsDialogs : public TScriptedDialogs {
 public:
  using TScriptedDialogs::TScriptedDialogs;
  bool OtherSettings(const std::string& exeDir, TOtherSettings& values) override {
    TfrmOtherSetUp dialog(nullptr, exeDir, *this);
    dialog.SetValues(values);
    if (User) User(dialog);
    dialog.accept();
    values = dialog.Values();
    return true;
  }
  std::function<void(TfrmOtherSetUp&)> User;
};

// A fresh program folder and dialogs answered from a script.
class OtherSetUp : public ::testing::Test {
 protected:
  OtherSetUp() { App(); }
  TTempHome home;
  std::shared_ptr<TScriptedDialogs::TLog> log = std::make_shared<TScriptedDialogs::TLog>();
  TScriptedDialogs dialogs{log};
};

TEST_F(OtherSetUp, OkOnAFreshInstallationWritesTheDefaultAssignments) {
  TfrmOtherSetUp dialog(nullptr, home.Dir(), dialogs);
  ASSERT_EQ(dialog.grdKey->rowCount(), static_cast<int>(DefaultKeyAssignments().size()));
  dialog.btnOK->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(home.Read("ka.ini"), CrLfJoined(DefaultKeyAssignments()));
  EXPECT_EQ(home.Read("ma.ini"), CrLfJoined(DefaultMouseAssignments()));
  EXPECT_TRUE(log->Messages.empty());
}

TEST_F(OtherSetUp, HandEditedLinesSurviveAndCancelWritesNothing) {
  // No "=", an unknown command, a lower-case prefix, bytes outside CP932.
  const std::string ka = "garbage line\r\nF5=" + S("再読込み") + "\r\nctrl+x=" + S("検索") +
                         "\r\n\xFF\xFE=\x81\r\nF2=" + S("外部エディタの起動") + "\r\n";
  home.Write("ka.ini", ka);
  {
    TfrmOtherSetUp dialog(nullptr, home.Dir(), dialogs);
    dialog.btnCancel->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(home.Read("ma.ini"), "<missing>");
  }
  TfrmOtherSetUp dialog(nullptr, home.Dir(), dialogs);
  ASSERT_EQ(dialog.grdKey->rowCount(), 5);
  auto* box = qobject_cast<QComboBox*>(dialog.grdKey->cellWidget(1, 1));
  EXPECT_EQ(box->currentText(), QStringLiteral("再読込み"));  // shown as it stands
  dialog.accept();
  EXPECT_EQ(home.Read("ka.ini"), ka);
}

TEST_F(OtherSetUp, DeleteAsksWithTheLineAndRemovesOnlyOnOk) {
  TfrmOtherSetUp dialog(nullptr, home.Dir(), dialogs);
  const int rows = dialog.grdKey->rowCount();
  dialog.grdKey->setCurrentCell(8, 0);  // F5=再読込
  log->ConfirmAnswers = {false, true};
  dialog.mnuDeleteClick();
  ASSERT_EQ(log->Confirmations.size(), 1u);
  EXPECT_EQ(log->Confirmations[0], "「F5=再読込」を削除します");
  EXPECT_EQ(dialog.grdKey->rowCount(), rows);
  dialog.mnuDeleteClick();
  EXPECT_EQ(dialog.grdKey->rowCount(), rows - 1);
  dialog.accept();
  EXPECT_EQ(home.Read("ka.ini").find("F5="), std::string::npos);

  // With no rows left, 削除 is offered disabled and deletes nothing.
  dialog.grdKey->setRowCount(0);
  QMenu* menu = dialog.PlaceholderMenuFor(dialog.grdKey);
  ASSERT_EQ(menu->actions().size(), 3);
  EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("追加(&A)"));
  EXPECT_FALSE(menu->actions()[2]->isEnabled());
}

TEST_F(OtherSetUp, PlaceholdersGoInAtTheCaretAndIntervalsTurnIntoMilliseconds) {
  TfrmOtherSetUp dialog(nullptr, home.Dir(), dialogs);
  TProgramSettings settings;
  settings.AutoInterval = 2500;
  settings.AutoLInterval = 0;  // below the box's range: shown as its least
  settings.EndOpt = 3;
  dialog.SetValues(OtherSettingsFrom(settings, false));
  EXPECT_EQ(dialog.sedAutoPInterval->value(), 2);
  EXPECT_EQ(dialog.sedAutoLInterval->value(), 1);
  EXPECT_TRUE(dialog.chkEOArchive->isChecked());

  dialog.ledEditorOption->setText(QStringLiteral("-a -b"));
  dialog.ledEditorOption->setSelection(2, 1);  // the space between the options
  QMenu* menu = dialog.PlaceholderMenuFor(dialog.ledEditorOption);
  ASSERT_EQ(menu->actions().size(), 9);
  menu->actions()[3]->trigger();  // "%F　フルパス"
  EXPECT_EQ(dialog.ledEditorOption->text(), QStringLiteral("-a%F-b"));
  dialog.ledFormat2Sub->setText(QStringLiteral("()"));
  dialog.ledFormat2Sub->setCursorPosition(1);
  menu = dialog.PlaceholderMenuFor(dialog.ledFormat2Sub);
  ASSERT_EQ(menu->actions().size(), 6);
  menu->actions()[5]->trigger();  // "%c　コメント"
  EXPECT_EQ(dialog.ledFormat2Sub->text(), QStringLiteral("(%c)"));

  dialog.sedAutoPInterval->setValue(1);
  ApplyOtherSettings(dialog.Values(), settings);
  EXPECT_EQ(settings.AutoInterval, 1000u);
  EXPECT_EQ(settings.AutoLInterval, 1000u);
  EXPECT_EQ(settings.EndOpt, 1);  // the other bits are not kept
  EXPECT_EQ(settings.EditorOption, "-a%F-b");
  EXPECT_EQ(settings.Format2Sub, "(%c)");
}

TEST(InputKey, CapturesCombinationsAsKaIniNames) {
  App();
  TfrmInputKey dialog;
  dialog.show();
  QLineEdit* key = dialog.edtKey;
  const auto text = [&] { return key->text().toStdString(); };

  Press(key, Qt::Key_Control, Qt::NoModifier);
  EXPECT_EQ(text(), "Ctrl+");
  Press(key, Qt::Key_Shift, Qt::ControlModifier);
  EXPECT_EQ(text(), "Ctrl+Shift+");
  Press(key, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(text(), "Ctrl+Shift+F");
  Release(key, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
  Release(key, Qt::Key_Shift, Qt::ControlModifier | Qt::ShiftModifier);
  Release(key, Qt::Key_Control, Qt::ControlModifier);
  EXPECT_EQ(text(), "Ctrl+Shift+F");
  EXPECT_EQ(key->cursorPosition(), static_cast<int>(key->text().size()));

  Press(key, Qt::Key_Shift, Qt::ShiftModifier);
  EXPECT_EQ(text(), "Shift+");
  Release(key, Qt::Key_Shift, Qt::ShiftModifier);
  EXPECT_EQ(text(), "");

  Press(key, Qt::Key_F12, Qt::NoModifier);
  EXPECT_EQ(text(), "F12");
  Press(key, Qt::Key_5, Qt::NoModifier);
  EXPECT_EQ(text(), "");
  // All three modifiers: the first rule that matches.
  Press(key, Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
  EXPECT_EQ(text(), "Ctrl+Shift+Home");

  // Enter and Escape are keys here: captured, and the dialog stays open.
  QTest::keyClick(key, Qt::Key_Return);
  EXPECT_EQ(text(), "Enter");
  QTest::keyClick(key, Qt::Key_Escape);
  EXPECT_EQ(text(), "");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), 0);
}

// A started window whose other-settings dialog the test drives.
class OtherSettingsWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    auto dialogs = std::make_unique<TSettingsDialogs>(log);
    script = dialogs.get();
    form = std::make_unique<TfrmRPV>(std::vector<std::string>{}, std::move(dialogs));
    form->FormCreate();
  }
  TTempHome home;
  std::shared_ptr<TScriptedDialogs::TLog> log = std::make_shared<TScriptedDialogs::TLog>();
  TSettingsDialogs* script = nullptr;
  std::unique_ptr<TfrmRPV> form;
};

TEST_F(OtherSettingsWindow, CtrlSAddedForFindWinsAfterOk) {
  // Find needs a book on screen.
  form->OpenDocument(home.Write("book.txt", "abc\r\n"), 0, "");
  form->FormKeyDown('S', Qt::ControlModifier);
  EXPECT_EQ(log->FindShown, 0);  // 栞を挟む by default

  script->User = [](TfrmOtherSetUp& dialog) {
    const int rows = dialog.grdKey->rowCount();
    // Cancel adds nothing; OK with nothing captured adds nothing.
    WhenModal<TfrmInputKey>([](TfrmInputKey& capture) {
      EXPECT_EQ(capture.cmbValue->currentText(), QStringLiteral("なし"));
      EXPECT_EQ(capture.lblKey->text(), QStringLiteral("キーの操作"));
      Press(capture.edtKey, Qt::Key_S, Qt::ControlModifier);
      capture.btnCancel->click();
    });
    dialog.mnuAddClick();
    WhenModal<TfrmInputKey>([](TfrmInputKey& capture) { capture.btnOk->click(); });
    dialog.mnuAddClick();
    EXPECT_EQ(dialog.grdKey->rowCount(), rows);

    WhenModal<TfrmInputKey>([](TfrmInputKey& capture) {
      Press(capture.edtKey, Qt::Key_Control, Qt::NoModifier);
      Press(capture.edtKey, Qt::Key_S, Qt::ControlModifier);
      Release(capture.edtKey, Qt::Key_S, Qt::ControlModifier);
      Release(capture.edtKey, Qt::Key_Control, Qt::ControlModifier);
      capture.cmbValue->setCurrentText(QStringLiteral("検索"));
      capture.btnOk->click();
    });
    dialog.mnuAddClick();
    ASSERT_EQ(dialog.grdKey->rowCount(), rows + 1);
    EXPECT_EQ(dialog.grdKey->currentRow(), rows);
    EXPECT_EQ(dialog.KeyLines().back(), "Ctrl+S=" + S("検索"));
  };
  form->OpenOtherSettings();
  EXPECT_EQ(home.Read("ka.ini"), CrLfJoined(DefaultKeyAssignments()) + "Ctrl+S=" + S("検索") + "\r\n");
  form->FormKeyDown('S', Qt::ControlModifier);
  EXPECT_EQ(log->FindShown, 1);
  EXPECT_TRUE(form->tmrAuto->isActive());
}

TEST_F(OtherSettingsWindow, SendToCheckWritesAndRemovesTheDesktopEntry) {
  TTempFolder data("rpv_data_");
  TEnvVar xdg("XDG_DATA_HOME", data.Native().string());
  const std::string entry = SendToShortcutPath();
  ASSERT_EQ(entry.rfind(data.Dir(), 0), 0u) << entry;

  bool shownTicked = true;
  script->User = [&](TfrmOtherSetUp& dialog) {
    shownTicked = dialog.chkSendTo->isChecked();
    dialog.chkSendTo->setChecked(true);
    dialog.sedAutoPInterval->setValue(7);
  };
  form->OpenOtherSettings();
  EXPECT_FALSE(shownTicked);
  EXPECT_EQ(form->Settings.AutoInterval, 7000u);
  const std::string text = ReadWholeFile(entry).value_or("");
  EXPECT_NE(text.find("Exec="), std::string::npos) << text;
  EXPECT_NE(text.find("MimeType=text/plain;text/html;"), std::string::npos) << text;

  script->User = [&](TfrmOtherSetUp& dialog) {
    shownTicked = dialog.chkSendTo->isChecked();
    dialog.chkSendTo->setChecked(false);
  };
  form->OpenOtherSettings();
  EXPECT_TRUE(shownTicked);
  EXPECT_FALSE(FileExists(entry));
  EXPECT_TRUE(log->Messages.empty());
}

}  // namespace
}  // namespace rpv::test
