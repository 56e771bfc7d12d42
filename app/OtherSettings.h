// The values of the other-settings dialog's 全般 page as the window hands
// them over and takes them back: seconds instead of milliseconds, the
// archive bit of EndOpt as a tick, the bookmark form as a choice. Also the
// Send To entry on the desktop and the placeholder lists of the dialog's
// template menus (which the help page lists too). No Qt here.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/ProgramSettings.h"

namespace rpv {

inline constexpr int32_t kIntervalMinSeconds = 1;
inline constexpr int32_t kIntervalMaxSeconds = 1000;

struct TOtherSettings {
  int32_t AutoPSeconds = 10;   // sedAutoPInterval
  int32_t AutoLSeconds = 2;    // sedAutoLInterval
  std::string EditorName;      // ledEditorName
  std::string EditorOption;    // ledEditorOption
  bool SendTo = false;         // chkSendTo
  bool Last = true;            // chkLast
  bool DeleteArchive = false;  // chkEOArchive
  bool GroupedBookmarks = false;  // rdbFormat2 (else rdbFormat1)
  std::string Format1;         // edtFormat1
  std::string Format2Main;     // ledFormat2Main
  std::string Format2Sub;      // ledFormat2Sub
};

// The dialog's values from the program's: intervals in whole seconds
// (truncated, kept inside the spin boxes' range), bit 1 of EndOpt.
TOtherSettings OtherSettingsFrom(const TProgramSettings& settings, bool sendToExists);
// The dialog's values back into the program's after OK: seconds times 1000;
// EndOpt 1 or 0 (its other bits are not kept); Type 0 or 1.
void ApplyOtherSettings(const TOtherSettings& values, TProgramSettings& settings);

// The desktop entry that stands for the Send To shortcut (CP932):
// the applications folder + "【瑠頁～るぺい～】.desktop".
std::string SendToShortcutPath();
// Writes the entry starting program (a CP932 path), or removes it (a
// missing entry is no error). False when it cannot be written or removed.
bool UpdateSendToShortcut(bool wanted, const std::string& program);

// One entry of a placeholder menu: its caption (UTF-8) starts with the
// two characters it inserts.
struct TPlaceholder {
  std::string_view Caption;
  std::string_view Meaning;  // the help page's explanation (UTF-8)
};
// EditorOption's placeholders, as FormatHeaderFooter expands them.
const std::array<TPlaceholder, 9>& EditorPlaceholders();
// The bookmark caption placeholders of Format1, Format2Main, Format2Sub.
const std::array<TPlaceholder, 6>& BookmarkPlaceholders();

}  // namespace rpv
