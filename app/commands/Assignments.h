// Key and mouse assignments: the files ka.ini and ma.ini (one line each,
// name "=" command, CP932), their built-in default lists, the key-name
// grammar, the 7 x 256 key tables chosen by the held modifiers and the 18
// mouse slots. Qt-free: the window translates its events into virtual-key
// codes, modifier flags and slot numbers and asks these tables.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/commands/Commands.h"

namespace rpv {

// ---- Files -------------------------------------------------------------------

inline constexpr std::string_view kKeyAssignmentFile = "ka.ini";
inline constexpr std::string_view kMouseAssignmentFile = "ma.ini";
// Larger files are not assignment lists (every key of every table fits in a
// few hundred kilobytes); they are ignored like a missing file.
inline constexpr uintmax_t kMaxAssignmentFileBytes = 4u << 20;

// The built-in lists used when ka.ini or ma.ini does not exist, as CP932
// lines "name=command" in their documented order.
const std::vector<std::string>& DefaultKeyAssignments();
const std::vector<std::string>& DefaultMouseAssignments();

// The text split into lines at CR LF, LF or CR; a final line break does not
// start another line.
std::vector<std::string> SplitLines(std::string_view text);
// The lines of an assignment file, or the defaults when it does not exist,
// is no regular file, cannot be read or is absurdly large. The file is
// CP932; a file that is well-formed UTF-8 (a hand edit on this system) is
// converted, so its command names still match.
std::vector<std::string> ReadAssignmentLines(std::string_view path,
                                             const std::vector<std::string>& defaults);
// Writes the lines as CP932 with CR LF after each, replacing the file
// atomically. False when it cannot be written.
bool WriteAssignmentLines(std::string_view path, const std::vector<std::string>& lines);
// The name (before the first "=") and the command (after it); false for a
// line without "=".
bool SplitAssignment(std::string_view line, std::string_view& name, std::string_view& command);

// ---- Keys --------------------------------------------------------------------

inline constexpr int kKeyTables = 7;
inline constexpr int kKeyCodes = 256;

// The modifiers held when a key went down. Other: anything that makes the
// set unlisted (a mouse button held, a double-click).
struct TKeyModifiers {
  bool Ctrl = false;
  bool Shift = false;
  bool Alt = false;
  bool Other = false;
};

// The key table of the exact set of held modifiers: 0 none (or a set not
// listed: all three, or any with Other), 1 Ctrl, 2 Shift, 3 Alt,
// 4 Ctrl+Shift, 5 Ctrl+Alt, 6 Shift+Alt.
int ModifierTable(const TKeyModifiers& modifiers);

// A key name of ka.ini: its table (from the modifier prefix) and virtual-key
// code (0 when the name names no key).
struct TKeyName {
  int Table = 0;
  int Code = 0;
};
TKeyName ParseKeyName(std::string_view name);
// The virtual-key code of a key name without its prefix: one character is
// its own code, "F1".."F24" the function keys, the named keys ("Up", "Down",
// "Right", "Left", "Home", "End", "PageUp", "PageDown", "BackSpace",
// "Space", "Enter") theirs; anything else 0.
int KeyNameToCode(std::string_view name);
// The other way, for the key capture dialog: the name a captured key gets —
// the eleven named keys, "A".."Z" and "F1".."F24"; empty for every other
// code (digits, keypad, Escape, Tab, the modifiers themselves), which the
// capture then refuses.
std::string CapturedKeyName(int code);
// The prefix of a captured key: the first of Ctrl+Shift, Ctrl+Alt,
// Shift+Alt, Ctrl, Shift, Alt that is held (so all three give "Ctrl+Shift+");
// empty when none is.
std::string_view CapturedKeyPrefix(bool ctrl, bool shift, bool alt);
// The name ka.ini gives a key of a table ("Ctrl+O", "PageDown", "F11");
// empty for a code no name reaches.
std::string KeyNameOf(int table, int code);

class TKeyAssignments {
 public:
  TKeyAssignments() { Clear(); }
  // Every slot runs nothing.
  void Clear();
  // Clears, then binds every "name=command" line in order, so a later line
  // for the same key replaces an earlier one.
  void Load(const std::vector<std::string>& lines);
  void Bind(std::string_view keyName, std::string_view commandName);
  // The command of a slot; None outside the tables and for code 0, which
  // unknown key names bind and no real key has.
  TCommand At(int table, int code) const;
  TCommand ForKey(int virtualKey, const TKeyModifiers& modifiers) const {
    return At(ModifierTable(modifiers), virtualKey);
  }

 private:
  std::array<std::array<TCommand, kKeyCodes>, kKeyTables> slots_{};
};

// ---- Mouse -------------------------------------------------------------------

inline constexpr int kMouseSlots = 18;
// The slot of unrecognised action names: bound like the others, never run.
inline constexpr int kUnknownMouseAction = 17;
inline constexpr int kSlotLeftClick = 0;
inline constexpr int kSlotRightClick = 1;
inline constexpr int kSlotMiddleClick = 2;
inline constexpr int kSlotWheelUp = 3;
inline constexpr int kSlotWheelDown = 4;
// First slots of the drags; add ButtonDown - 1 (0 left, 1 right, 2 middle).
inline constexpr int kSlotDragLeft = 5;
inline constexpr int kSlotDragRight = 8;
inline constexpr int kSlotDragUp = 11;
inline constexpr int kSlotDragDown = 14;

// The CP932 action names of slots 0..16.
const std::array<std::string, kUnknownMouseAction>& MouseActionNames();
// The slot of an action name, compared exactly; 17 for any other name.
int MouseActionIndex(std::string_view name);

class TMouseAssignments {
 public:
  TMouseAssignments() { Clear(); }
  void Clear();
  // Clears, then binds every "action=command" line in order.
  void Load(const std::vector<std::string>& lines);
  // The command of a slot; None for slot 17 and outside the slots.
  TCommand At(int slot) const;

 private:
  std::array<TCommand, kMouseSlots> slots_{};
};

}  // namespace rpv
