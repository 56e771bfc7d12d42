// The Qt side pieces: the find dialog as the user drives it, key codes and
// modifier tables, and the CP932 crossing.
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "AppTestSupport.h"
#include "app/FindDialog.h"
#include "app/QtText.h"
#include "app/QtUserDialogs.h"
#include "app/VirtualKeys.h"

namespace rpv::test {
namespace {

TEST(FindDialog, FindNextHandsOverPatternAndOptionsAsTheUserSetThem) {
  App();
  QWidget owner;
  TQtUserDialogs dialogs(&owner);
  std::vector<std::pair<std::string, int>> calls;
  dialogs.ShowFind(kFindOptionDown, [&](const std::string& pattern, int options) {
    calls.emplace_back(pattern, options);
    return true;
  });
  auto* dialog = owner.findChild<TFindDialog*>();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->Options(), kFindOptionDown);
  auto* edit = dialog->findChild<QLineEdit*>();
  auto buttons = dialog->findChildren<QPushButton*>();
  ASSERT_NE(edit, nullptr);
  ASSERT_EQ(buttons.size(), 2);
  QPushButton* findNext = buttons[0];
  EXPECT_FALSE(findNext->isEnabled()) << "nothing to find yet";

  edit->setText(QStringLiteral("桜"));
  QTest::mouseClick(findNext, Qt::LeftButton);
  for (QRadioButton* r : dialog->findChildren<QRadioButton*>())
    if (r->text().startsWith(QStringLiteral("上へ"))) r->setChecked(true);
  dialog->findChild<QCheckBox*>()->setChecked(true);
  QTest::mouseClick(findNext, Qt::LeftButton);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0], std::make_pair(Utf8ToCp932("桜"), kFindOptionDown));
  EXPECT_EQ(calls[1], std::make_pair(Utf8ToCp932("桜"), kFindOptionMatchCase));
  EXPECT_TRUE(dialog->Status().isEmpty());

  // Shown again: the same dialog, keeping what the user chose.
  dialogs.ShowFind(kFindOptionDown, [&](const std::string& pattern, int options) {
    calls.emplace_back(pattern + "!", options);
    return false;
  });
  EXPECT_EQ(owner.findChildren<TFindDialog*>().size(), 1);
  QTest::mouseClick(findNext, Qt::LeftButton);
  EXPECT_EQ(calls.back(), std::make_pair(Utf8ToCp932("桜") + "!", kFindOptionMatchCase));
  // Nothing found: the dialog says so itself, and no box opens.
  EXPECT_EQ(dialog->Status(), QStringLiteral("「桜」は見つかりません。"));
  EXPECT_TRUE(owner.findChildren<QMessageBox*>().isEmpty());
}

TEST(VirtualKeys, CodesAndModifierTables) {
  EXPECT_EQ(VirtualKeyOf(Qt::Key_F6, false), kVkF6);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_F12, false), 123);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_R, false), kVkR);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_5, false), '5');
  EXPECT_EQ(VirtualKeyOf(Qt::Key_5, true), 101) << "keypad digits";
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Exclam, false), '1') << "shifted 1";
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Return, false), 13);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Enter, true), 13);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_PageDown, false), 34);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Alt, false), kVkMenu);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_unknown, false), 0);

  EXPECT_EQ(ModifierTable(Qt::NoModifier), 0);
  EXPECT_EQ(ModifierTable(Qt::ControlModifier), 1);
  EXPECT_EQ(ModifierTable(Qt::ShiftModifier), 2);
  EXPECT_EQ(ModifierTable(Qt::AltModifier), 3);
  EXPECT_EQ(ModifierTable(Qt::ControlModifier | Qt::ShiftModifier), 4);
  EXPECT_EQ(ModifierTable(Qt::ControlModifier | Qt::AltModifier), 5);
  EXPECT_EQ(ModifierTable(Qt::ShiftModifier | Qt::AltModifier), 6);
  EXPECT_EQ(ModifierTable(Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier), 0);
  EXPECT_EQ(ModifierTable(Qt::ControlModifier | Qt::KeypadModifier), 1);
}

TEST(QtText, Cp932CrossesBothWays) {
  const TTempHome home;
  const std::string sjis = Utf8ToCp932("瑠頁～るぺい～ ①");
  EXPECT_EQ(ToQString(sjis), QStringLiteral("瑠頁～るぺい～ ①"));
  EXPECT_EQ(FromQString(ToQString(sjis)), sjis);
  // What CP932 lacks crosses through the user-area table (search input,
  // clipboard), the same code both ways.
  const std::string emoji = FromQString(QStringLiteral("😀é"));
  EXPECT_EQ(emoji, Utf8ToCp932("😀é"));
  EXPECT_EQ(ToQString(emoji), QStringLiteral("😀é"));
  EXPECT_EQ(PathFromQString(QStringLiteral("/x/é.txt")), Utf8ToCp932("/x/é.txt"));
  // A search for a character no text holds takes no code and finds nothing,
  // not every "?".
  EXPECT_EQ(PatternFromQString(QStringLiteral("é?")), Utf8ToCp932("é?"));
  EXPECT_EQ(PatternFromQString(QStringLiteral("ž")), "\x81\x7F");
  EXPECT_EQ(Utf8ToCp932("ž", TUserArea::LookUp), "?") << "no code was given";
  EXPECT_EQ(Sjis("行"), Utf8ToCp932("行"));
}

}  // namespace
}  // namespace rpv::test
