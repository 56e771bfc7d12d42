// Qt keys become the Windows virtual-key codes ka.ini is written in.
#include <QKeyEvent>

#include "AppTestSupport.h"
#include "app/VirtualKeys.h"

namespace rpv::test {
namespace {

TEST(VirtualKeys, TheKeysAssignmentsCanName) {
  for (int i = 0; i < 26; ++i) EXPECT_EQ(VirtualKeyOf(Qt::Key_A + i, false), 'A' + i);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(VirtualKeyOf(Qt::Key_0 + i, false), '0' + i);
  for (int i = 0; i < 24; ++i) EXPECT_EQ(VirtualKeyOf(Qt::Key_F1 + i, false), 112 + i);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Left, false), 37);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Up, false), 38);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Right, false), 39);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Down, false), 40);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Home, false), 36);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_End, false), 35);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_PageUp, false), 33);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_PageDown, false), 34);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Backspace, false), 8);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Space, false), 32);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Return, false), 13);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Escape, false), 27);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Tab, false), 9);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Backtab, false), 9);  // Shift+Tab is Tab with Shift
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Insert, false), 45);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Delete, false), 46);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Alt, false), kVkMenu);
  // Shifted symbols of the digit row are the digit keys.
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Exclam, false), '1');
  EXPECT_EQ(VirtualKeyOf(Qt::Key_ParenRight, false), '0');
  // Keys without a code.
  EXPECT_EQ(VirtualKeyOf(Qt::Key_unknown, false), 0);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Henkan, false), 0);
}

TEST(VirtualKeys, NumericKeypadWithAndWithoutNumLock) {
  for (int i = 0; i < 10; ++i) EXPECT_EQ(VirtualKeyOf(Qt::Key_0 + i, true), 96 + i);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Asterisk, true), 106);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Plus, true), 107);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Minus, true), 109);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Period, true), 110);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Slash, true), 111);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Enter, true), 13);
  // Num Lock off: the keypad is Home, arrows, Insert, Delete, and Clear on 5.
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Home, true), 36);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Down, true), 40);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_PageDown, true), 34);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Insert, true), 45);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Delete, true), 46);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Clear, true), 12);
  // Off the keypad the same symbols are other keys.
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Plus, false), 187);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Slash, false), 191);

  App();  // key events need the keyboard device the application owns
  QKeyEvent keypad5(QEvent::KeyPress, Qt::Key_5, Qt::KeypadModifier);
  EXPECT_EQ(VirtualKeyOf(keypad5), 101);
  QKeyEvent main5(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier);
  EXPECT_EQ(VirtualKeyOf(main5), '5');
}

TEST(VirtualKeys, DigitRowByHardwareCodeAndTheModifierTables) {
  EXPECT_EQ(DigitRowKeyOf(10), '1');
  EXPECT_EQ(DigitRowKeyOf(17), '8');
  EXPECT_EQ(DigitRowKeyOf(18), '9');
  EXPECT_EQ(DigitRowKeyOf(19), '0');
  EXPECT_EQ(DigitRowKeyOf(9), 0);   // Escape
  EXPECT_EQ(DigitRowKeyOf(20), 0);  // minus
  EXPECT_EQ(DigitRowKeyOf(0), 0);

  EXPECT_EQ(ModifierTable(Qt::NoModifier), 0);
  EXPECT_EQ(ModifierTable(Qt::ControlModifier), 1);
  EXPECT_EQ(ModifierTable(Qt::ShiftModifier), 2);
  EXPECT_EQ(ModifierTable(Qt::AltModifier), 3);
  EXPECT_EQ(ModifierTable(Qt::ControlModifier | Qt::ShiftModifier), 4);
  EXPECT_EQ(ModifierTable(Qt::ControlModifier | Qt::AltModifier), 5);
  EXPECT_EQ(ModifierTable(Qt::ShiftModifier | Qt::AltModifier), 6);
  EXPECT_EQ(ModifierTable(Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier), 0);
  // The keypad and the Super key do not change the table.
  EXPECT_EQ(ModifierTable(Qt::ControlModifier | Qt::KeypadModifier | Qt::MetaModifier), 1);
  EXPECT_EQ(ModifierTable(Qt::ControlModifier, Qt::RightButton), 0);
}

}  // namespace
}  // namespace rpv::test
