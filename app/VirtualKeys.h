// Windows virtual-key codes for Qt key events: the key assignments and the
// fixed keys of the window are written in those codes.
#pragma once

#include <Qt>

class QKeyEvent;

namespace rpv {

inline constexpr int kVkMenu = 18;  // Alt
inline constexpr int kVkR = 82;
inline constexpr int kVkF6 = 117;

// The virtual-key code of the key (0 for a key without one). Shifted
// symbols of a US layout map back to their key ("!" is the key 1).
int VirtualKeyOf(int qtKey, bool keypad);
int VirtualKeyOf(const QKeyEvent& event);

// The key table of the held modifiers: 0 none (or a set not listed), 1 Ctrl,
// 2 Shift, 3 Alt, 4 Ctrl+Shift, 5 Ctrl+Alt, 6 Shift+Alt.
int ModifierTable(Qt::KeyboardModifiers modifiers);
inline constexpr int kModifierTables = 7;

}  // namespace rpv
