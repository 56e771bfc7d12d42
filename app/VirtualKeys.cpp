#include "app/VirtualKeys.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <array>
#include <utility>

namespace rpv {
namespace {

// Keys whose code is not their character.
constexpr std::array<std::pair<int, int>, 60> kKeys{{
    {Qt::Key_Backspace, 8},  {Qt::Key_Tab, 9},       {Qt::Key_Backtab, 9},
    {Qt::Key_Clear, 12},     {Qt::Key_Return, 13},   {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},     {Qt::Key_Control, 17},  {Qt::Key_Alt, 18},
    {Qt::Key_AltGr, 18},     {Qt::Key_Pause, 19},    {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27},    {Qt::Key_Space, 32},    {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},  {Qt::Key_End, 35},      {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},      {Qt::Key_Up, 38},       {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},      {Qt::Key_Print, 44},    {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},    {Qt::Key_Help, 47},     {Qt::Key_Menu, 93},
    {Qt::Key_NumLock, 144},  {Qt::Key_ScrollLock, 145},
    {Qt::Key_Semicolon, 186}, {Qt::Key_Colon, 186},  {Qt::Key_Equal, 187},
    {Qt::Key_Plus, 187},     {Qt::Key_Comma, 188},   {Qt::Key_Less, 188},
    {Qt::Key_Minus, 189},    {Qt::Key_Underscore, 189}, {Qt::Key_Period, 190},
    {Qt::Key_Greater, 190},  {Qt::Key_Slash, 191},   {Qt::Key_Question, 191},
    {Qt::Key_QuoteLeft, 192}, {Qt::Key_AsciiTilde, 192}, {Qt::Key_BracketLeft, 219},
    {Qt::Key_BraceLeft, 219}, {Qt::Key_Backslash, 220}, {Qt::Key_Bar, 220},
    {Qt::Key_BracketRight, 221}, {Qt::Key_BraceRight, 221}, {Qt::Key_Apostrophe, 222},
    {Qt::Key_QuoteDbl, 222}, {Qt::Key_Exclam, '1'},  {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'}, {Qt::Key_Dollar, '4'}, {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'}, {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
}};

// X11 and Wayland key codes are the kernel's evdev codes plus 8 on every
// layout; elsewhere the native scan code means something else.
bool HasEvdevKeyCodes() {
  const QString platform = QGuiApplication::platformName();
  return platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"));
}

}  // namespace

int VirtualKeyOf(int qtKey, bool keypad) {
  if (keypad) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return 96 + (qtKey - Qt::Key_0);
    switch (qtKey) {
      case Qt::Key_Asterisk: return 106;
      case Qt::Key_Plus: return 107;
      case Qt::Key_Minus: return 109;
      case Qt::Key_Period: return 110;
      case Qt::Key_Comma: return 110;  // the decimal key of a comma locale
      case Qt::Key_Slash: return 111;
      default: break;  // without Num Lock: Home, End, arrows, Insert, ...
    }
  }
  if (qtKey == Qt::Key_ParenRight) return '0';
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
    return qtKey;  // Qt's codes are the upper-case letters and the digits
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 112 + (qtKey - Qt::Key_F1);
  for (const auto& [key, vk] : kKeys)
    if (key == qtKey) return vk;
  return 0;
}

int DigitRowKeyOf(uint32_t nativeScanCode) {
  // evdev KEY_1 (2) .. KEY_9 (10), KEY_0 (11), each plus 8.
  if (nativeScanCode >= 10 && nativeScanCode <= 18) return static_cast<int>('1' + nativeScanCode - 10);
  if (nativeScanCode == 19) return '0';
  return 0;
}

int VirtualKeyOf(const QKeyEvent& event) {
  const bool keypad = (event.modifiers() & Qt::KeypadModifier) != 0;
  if (!keypad && HasEvdevKeyCodes())
    if (const int digit = DigitRowKeyOf(event.nativeScanCode())) return digit;
  return VirtualKeyOf(event.key(), keypad);
}

TKeyModifiers KeyModifiersOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  TKeyModifiers m;
  m.Ctrl = (modifiers & Qt::ControlModifier) != 0;
  m.Shift = (modifiers & Qt::ShiftModifier) != 0;
  m.Alt = (modifiers & Qt::AltModifier) != 0;
  m.Other = buttons != Qt::NoButton;
  return m;
}

}  // namespace rpv
