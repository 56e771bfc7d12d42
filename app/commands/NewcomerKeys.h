// The keys a newcomer tries first, beyond the documented default list, and
// the keys the menus name. PageDown/Space, PageUp/Shift+Space and F11 are
// bound unless ka.ini binds those keys itself; Esc (leave full screen) and
// Ctrl+Q (quit) belong to no command of the vocabulary, so they act while
// their slots run nothing. Qt-free.
#pragma once

#include <string>
#include <vector>

#include "app/commands/Assignments.h"

namespace rpv {

// The lines with "PageDown=一頁進む", "Space=一頁進む", "PageUp=一頁戻る",
// "Shift+Space=一頁戻る" and "F11=フルスクリーン/ウィンドウ" added for
// every key that no line of them names (a line binding it to "なし" counts:
// the file wins).
std::vector<std::string> WithNewcomerKeys(std::vector<std::string> lines);

// What a key does beyond the commands, when its slot runs nothing.
enum class TWindowKey { None, LeaveFullScreen, Quit };
TWindowKey WindowKeyOf(int table, int code);
// The key a menu shows for the window's own keys ("Ctrl+Q" for quitting).
inline constexpr const char* kQuitKeyName = "Ctrl+Q";

// The name of the first key bound to the command (plain keys first, then
// the tables in their order; by key code within a table), empty when none
// is.
std::string FirstKeyOf(const TKeyAssignments& keys, TCommand command);

}  // namespace rpv
