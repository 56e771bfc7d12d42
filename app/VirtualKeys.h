// Windows virtual-key codes for Qt key events: ka.ini and the window's fixed
// keys are written in those codes, so a ka.ini made for the program keeps
// its meaning here.
#pragma once

#include <Qt>
#include <cstdint>

#include "app/commands/Assignments.h"

class QKeyEvent;

namespace rpv {

inline constexpr int kVkMenu = 18;  // Alt
inline constexpr int kVkEscape = 27;
inline constexpr int kVkR = 82;
inline constexpr int kVkF6 = 117;

// The virtual-key code of a Qt key (0 for a key without one). keypad: the
// event came from the numeric keypad (Qt::KeypadModifier). Shifted symbols
// of a US layout map back to their key ("!" is the key 1).
int VirtualKeyOf(int qtKey, bool keypad);
// The same for an event. On X11 and Wayland the hardware key code settles
// the digit row whatever the layout makes of it with Shift (a Japanese
// layout puts "(" on 8, where a US one has "*").
int VirtualKeyOf(const QKeyEvent& event);
// The key code of the digit row for an X11/Wayland key code (evdev + 8):
// '1'..'9', '0'; 0 for any other key code.
int DigitRowKeyOf(uint32_t nativeScanCode);

// The held modifiers as the key tables see them; a held mouse button makes
// the set one no prefix names.
TKeyModifiers KeyModifiersOf(Qt::KeyboardModifiers modifiers,
                             Qt::MouseButtons buttons = Qt::NoButton);
// The key table of the held modifiers: 0 none (or a set not listed), 1 Ctrl,
// 2 Shift, 3 Alt, 4 Ctrl+Shift, 5 Ctrl+Alt, 6 Shift+Alt.
inline int ModifierTable(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton) {
  return ModifierTable(KeyModifiersOf(modifiers, buttons));
}
inline constexpr int kModifierTables = kKeyTables;

}  // namespace rpv
