#include "app/commands/Assignments.h"

#include <filesystem>
#include <system_error>

#include "platform/Codepage.h"
#include "platform/FileIO.h"

namespace rpv {
namespace {

std::vector<std::string> ToCp932Lines(std::initializer_list<std::string_view> utf8) {
  std::vector<std::string> out;
  out.reserve(utf8.size());
  for (const auto line : utf8) out.push_back(Utf8ToCp932(line));
  return out;
}

struct TPrefix {
  std::string_view Text;
  int Table;
};
// Longer prefixes first, so "Ctrl+Shift+F" is not read as Ctrl with "Shift+F".
constexpr std::array<TPrefix, 6> kPrefixes{{
    {"Ctrl+Shift+", 4},
    {"Ctrl+Alt+", 5},
    {"Shift+Alt+", 6},
    {"Ctrl+", 1},
    {"Shift+", 2},
    {"Alt+", 3},
}};

struct TNamedKey {
  std::string_view Name;
  int Code;
};
constexpr std::array<TNamedKey, 11> kNamedKeys{{
    {"Up", 38},
    {"Down", 40},
    {"Right", 39},
    {"Left", 37},
    {"Home", 36},
    {"End", 35},
    {"PageUp", 33},
    {"PageDown", 34},
    {"BackSpace", 8},
    {"Space", 32},
    {"Enter", 13},
}};

constexpr int kVkF1 = 112;
constexpr int kFunctionKeys = 24;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// True when the text is well-formed UTF-8 (no overlong forms, surrogates or
// code points past U+10FFFF) and has at least one multi-byte character. A
// CP932 text with any kanji practically never passes.
bool IsMultibyteUtf8(std::string_view s) {
  bool multibyte = false;
  size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    size_t len = 0;
    uint32_t cp = 0;
    if (b >= 0xC2 && b <= 0xDF) {
      len = 2;
      cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      len = 3;
      cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      len = 4;
      cp = b & 0x07;
    } else {
      return false;
    }
    if (i + len > s.size()) return false;
    for (size_t k = 1; k < len; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    multibyte = true;
    i += len;
  }
  return multibyte;
}

}  // namespace

// ---- Files -------------------------------------------------------------------

const std::vector<std::string>& DefaultKeyAssignments() {
  static const std::vector<std::string> lines = ToCp932Lines({
      "Up=一頁戻る",
      "Down=一頁進む",
      "Right=一頁戻る",
      "Left=一頁進む",
      "Home=最初の頁へ",
      "End=最後の頁へ",
      "Ctrl+O=ファイルを開く",
      "Ctrl+V=クリップボードから読み込み",
      "F5=再読込",
      "Ctrl+S=栞を挟む",
      "Ctrl+L=栞から読む",
      "Ctrl+G=ページジャンプ",
      "Ctrl+F=検索",
      "Alt+Enter=フルスクリーン/ウィンドウ",
      "Ctrl+A=自動頁送り",
      "Ctrl+D=空行を削除",
      "F2=外部エディタの起動",
  });
  return lines;
}

const std::vector<std::string>& DefaultMouseAssignments() {
  static const std::vector<std::string> lines = ToCp932Lines({
      "右クリック=一頁戻る",
      "左クリック=一頁進む",
      "中クリック=なし",
      "ホイールアップ=一頁戻る",
      "ホイールダウン=一頁進む",
      "左ボタンを押しながら上に移動=なし",
      "左ボタンを押しながら下に移動=なし",
      "左ボタンを押しながら左に移動=最後の頁へ",
      "左ボタンを押しながら右に移動=なし",
      "右ボタンを押しながら上に移動=なし",
      "右ボタンを押しながら下に移動=なし",
      "右ボタンを押しながら左に移動=なし",
      "右ボタンを押しながら右に移動=最初の頁へ",
      "中ボタンを押しながら上に移動=なし",
      "中ボタンを押しながら下に移動=なし",
      "中ボタンを押しながら左に移動=なし",
      "中ボタンを押しながら右に移動=なし",
  });
  return lines;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

std::vector<std::string> ReadAssignmentLines(std::string_view path,
                                             const std::vector<std::string>& defaults) {
  // Only a regular file of sensible size is read: a FIFO would block the
  // start-up and a huge file would only waste memory.
  if (!FileExists(path)) return defaults;
  std::error_code ec;
  const auto size = std::filesystem::file_size(NativePath(path), ec);
  if (ec || size > kMaxAssignmentFileBytes) return defaults;
  auto bytes = ReadWholeFile(path);
  if (!bytes) return defaults;
  std::string_view text = *bytes;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  if (IsMultibyteUtf8(text)) return SplitLines(Utf8ToCp932(text));
  // A byte-order mark alone (ASCII lines) is simply dropped.
  return SplitLines(text);
}

bool WriteAssignmentLines(std::string_view path, const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  return WriteFileAtomic(path, text);
}

bool SplitAssignment(std::string_view line, std::string_view& name, std::string_view& command) {
  // "=" is never the trail byte of a double-byte character, so a plain
  // search is safe.
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  name = line.substr(0, eq);
  command = line.substr(eq + 1);
  return true;
}

// ---- Keys --------------------------------------------------------------------

int ModifierTable(const TKeyModifiers& m) {
  if (m.Other || (m.Ctrl && m.Shift && m.Alt)) return 0;
  if (m.Ctrl && m.Shift) return 4;
  if (m.Ctrl && m.Alt) return 5;
  if (m.Shift && m.Alt) return 6;
  if (m.Ctrl) return 1;
  if (m.Shift) return 2;
  if (m.Alt) return 3;
  return 0;
}

int KeyNameToCode(std::string_view name) {
  if (name.size() == 1) return static_cast<unsigned char>(name[0]);
  if (name.size() > 1 && name[0] == 'F') {
    // The number is the one or two digits after "F"; the rest is ignored.
    if (!IsDigit(name[1])) return 0;
    int number = name[1] - '0';
    if (name.size() > 2 && IsDigit(name[2])) number = number * 10 + (name[2] - '0');
    if (number < 1 || number > kFunctionKeys) return 0;
    return kVkF1 - 1 + number;
  }
  for (const auto& key : kNamedKeys)
    if (key.Name == name) return key.Code;
  return 0;
}

std::string CapturedKeyName(int code) {
  for (const auto& key : kNamedKeys)
    if (key.Code == code) return std::string(key.Name);
  if (code >= 'A' && code <= 'Z') return std::string(1, static_cast<char>(code));
  if (code >= kVkF1 && code < kVkF1 + kFunctionKeys) return "F" + std::to_string(code - kVkF1 + 1);
  return {};
}

namespace {

std::string_view PrefixOfTable(int table) {
  for (const auto& prefix : kPrefixes)
    if (prefix.Table == table) return prefix.Text;
  return {};
}

}  // namespace

std::string_view CapturedKeyPrefix(bool ctrl, bool shift, bool alt) {
  if (ctrl && shift) return PrefixOfTable(4);
  if (ctrl && alt) return PrefixOfTable(5);
  if (shift && alt) return PrefixOfTable(6);
  if (ctrl) return PrefixOfTable(1);
  if (shift) return PrefixOfTable(2);
  if (alt) return PrefixOfTable(3);
  return {};
}

std::string KeyNameOf(int table, int code) {
  std::string key = CapturedKeyName(code);
  if (key.empty() && code > ' ' && code < 0x7F) key.assign(1, static_cast<char>(code));
  if (key.empty()) return key;
  return std::string(PrefixOfTable(table)) + key;
}

TKeyName ParseKeyName(std::string_view name) {
  TKeyName result;
  for (const auto& prefix : kPrefixes) {
    if (name.substr(0, prefix.Text.size()) == prefix.Text) {
      result.Table = prefix.Table;
      name.remove_prefix(prefix.Text.size());
      break;
    }
  }
  result.Code = KeyNameToCode(name);
  return result;
}

void TKeyAssignments::Clear() {
  for (auto& table : slots_) table.fill(TCommand::None);
}

void TKeyAssignments::Bind(std::string_view keyName, std::string_view commandName) {
  const TKeyName key = ParseKeyName(keyName);
  BindCommand(commandName, slots_[static_cast<size_t>(key.Table)][static_cast<size_t>(key.Code)]);
}

void TKeyAssignments::Load(const std::vector<std::string>& lines) {
  Clear();
  std::string_view name, command;
  for (const auto& line : lines)
    if (SplitAssignment(line, name, command)) Bind(name, command);
}

TCommand TKeyAssignments::At(int table, int code) const {
  if (table < 0 || table >= kKeyTables || code <= 0 || code >= kKeyCodes) return TCommand::None;
  return slots_[static_cast<size_t>(table)][static_cast<size_t>(code)];
}

// ---- Mouse -------------------------------------------------------------------

const std::array<std::string, kUnknownMouseAction>& MouseActionNames() {
  static const std::array<std::string, kUnknownMouseAction> names = [] {
    constexpr std::array<std::string_view, kUnknownMouseAction> utf8{
        "左クリック",
        "右クリック",
        "中クリック",
        "ホイールアップ",
        "ホイールダウン",
        "左ボタンを押しながら左に移動",
        "右ボタンを押しながら左に移動",
        "中ボタンを押しながら左に移動",
        "左ボタンを押しながら右に移動",
        "右ボタンを押しながら右に移動",
        "中ボタンを押しながら右に移動",
        "左ボタンを押しながら上に移動",
        "右ボタンを押しながら上に移動",
        "中ボタンを押しながら上に移動",
        "左ボタンを押しながら下に移動",
        "右ボタンを押しながら下に移動",
        "中ボタンを押しながら下に移動",
    };
    std::array<std::string, kUnknownMouseAction> out;
    for (size_t i = 0; i < utf8.size(); ++i) out[i] = Utf8ToCp932(utf8[i]);
    return out;
  }();
  return names;
}

int MouseActionIndex(std::string_view name) {
  const auto& names = MouseActionNames();
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return static_cast<int>(i);
  return kUnknownMouseAction;
}

void TMouseAssignments::Clear() { slots_.fill(TCommand::None); }

void TMouseAssignments::Load(const std::vector<std::string>& lines) {
  Clear();
  std::string_view name, command;
  for (const auto& line : lines)
    if (SplitAssignment(line, name, command))
      BindCommand(command, slots_[static_cast<size_t>(MouseActionIndex(name))]);
}

TCommand TMouseAssignments::At(int slot) const {
  if (slot < 0 || slot >= kUnknownMouseAction) return TCommand::None;
  return slots_[static_cast<size_t>(slot)];
}

}  // namespace rpv
