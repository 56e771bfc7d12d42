#include "app/commands/NewcomerKeys.h"

#include <algorithm>
#include <string_view>

#include "platform/Codepage.h"

namespace rpv {
namespace {

constexpr int kVkEscape = 27;
constexpr int kVkQ = 'Q';
constexpr int kTableCtrl = 1;

}  // namespace

std::vector<std::string> WithNewcomerKeys(std::vector<std::string> lines) {
  std::vector<TKeyName> named;
  std::string_view name, command;
  for (const auto& line : lines)
    if (SplitAssignment(line, name, command)) named.push_back(ParseKeyName(name));
  for (const std::string_view extra : {"PageDown=一頁進む", "Space=一頁進む", "PageUp=一頁戻る",
                                       "Shift+Space=一頁戻る", "F11=フルスクリーン/ウィンドウ"}) {
    const std::string line = Utf8ToCp932(extra);
    SplitAssignment(line, name, command);
    const TKeyName key = ParseKeyName(name);
    const bool bound = std::any_of(named.begin(), named.end(), [&](const TKeyName& k) {
      return k.Table == key.Table && k.Code == key.Code;
    });
    if (!bound) lines.push_back(line);
  }
  return lines;
}

TWindowKey WindowKeyOf(int table, int code) {
  if (table == 0 && code == kVkEscape) return TWindowKey::LeaveFullScreen;
  if (table == kTableCtrl && code == kVkQ) return TWindowKey::Quit;
  return TWindowKey::None;
}

std::string FirstKeyOf(const TKeyAssignments& keys, TCommand command) {
  for (int table = 0; table < kKeyTables; ++table)
    for (int code = 1; code < kKeyCodes; ++code)
      if (keys.At(table, code) == command) {
        std::string name = KeyNameOf(table, code);
        if (!name.empty()) return name;
      }
  return {};
}

}  // namespace rpv
