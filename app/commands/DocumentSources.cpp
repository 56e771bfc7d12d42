#include "app/commands/DocumentSources.h"

#include <array>

#include "platform/Codepage.h"

namespace rpv {
namespace {

constexpr std::array<std::string_view, 3> kShellPrefixes{"mailto:", "http://", "https://"};
constexpr std::string_view kArchiveExtensions = "lzh;zip;rar";

// Byte index just past the last separator of path (0 when it has none); the
// 0x5C trail byte of a double-byte character is not a separator.
size_t FileNameStart(std::string_view path, const PathStyle& style) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); i += CharLen(path, i))
    if (path[i] == style.separator || (style.drives && path[i] == ':')) start = i + 1;
  return start;
}

bool EndsWithSeparator(std::string_view path, const PathStyle& style) {
  return !path.empty() && EnsureTrailingSep(path, style).size() == path.size();
}

}  // namespace

// ---- Links -------------------------------------------------------------------

bool IsShellLinkTarget(std::string_view target) {
  for (const auto prefix : kShellPrefixes)
    if (target.substr(0, prefix.size()) == prefix) return true;
  return false;
}

std::string ResolveLinkTarget(std::string_view target, std::string_view currentDir,
                              const PathStyle& style) {
  if (IsShellLinkTarget(target)) return std::string(target);
  // HTML writes "/"; "/" is never a trail byte, so a plain replace is safe.
  std::string path(target);
  if (style.separator != '/')
    for (auto& c : path)
      if (c == '/') c = style.separator;
  return ResolvePath(currentDir, path, style);
}

TLinkAction ResolveLinkAction(std::string_view target, std::string_view currentDir,
                              const TFileExists& fileExists, const PathStyle& style) {
  TLinkAction action;
  if (IsShellLinkTarget(target)) {
    action.Kind = TLinkAction::TKind::Shell;
    action.Target = std::string(target);
    return action;
  }
  const std::string path = ResolveLinkTarget(target, currentDir, style);
  // "#" is never a trail byte either.
  const size_t hash = path.find('#');
  if (hash == std::string::npos) {
    if (EndsWithSeparator(path, style)) {
      for (const std::string_view index : {"index.html", "index.htm"}) {
        std::string candidate = path + std::string(index);
        if (fileExists(candidate)) {
          action.Kind = TLinkAction::TKind::Open;
          action.Target = std::move(candidate);
          return action;
        }
      }
      return action;
    }
    if (fileExists(path)) {
      action.Kind = TLinkAction::TKind::Open;
      action.Target = path;
    }
    return action;
  }
  std::string file = path.substr(0, hash);
  if (!fileExists(file)) return action;
  action.Kind = TLinkAction::TKind::Open;
  action.Target = std::move(file);
  action.HasAnchor = true;
  action.Anchor = path.substr(hash + 1);
  return action;
}

// ---- Clipboard -----------------------------------------------------------------

std::string TextAsCrLfLines(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 2);
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i++];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i < text.size() && text[i] == '\n') ++i;
      out += "\r\n";
    } else {
      out += c;
    }
  }
  if (!text.empty() && text.back() != '\r' && text.back() != '\n') out += "\r\n";
  return out;
}

TClipboardAction DecideClipboard(bool hasText, std::string_view text, std::string_view exeDir,
                                 const TFileExists& fileExists) {
  TClipboardAction action;
  // Empty text gives nothing to read either.
  if (!hasText || text.empty()) return action;
  if (fileExists(text)) {
    action.Kind = TClipboardAction::TKind::OpenFile;
    action.Path = std::string(text);
    return action;
  }
  action.Kind = TClipboardAction::TKind::SaveText;
  action.Path = std::string(exeDir) + std::string(kClipboardFile);
  action.FileText = TextAsCrLfLines(text);
  // Characters Shift_JIS lacks are kept as UTF-8 (with its mark), which
  // reads back as the same characters; a Shift_JIS file's own user-area
  // codes would not.
  if (HasUserAreaCode(text)) action.FileText = "\xEF\xBB\xBF" + Cp932ToUtf8(action.FileText);
  return action;
}

// ---- Open dialog ----------------------------------------------------

std::string_view OpenDialogFilter() {
  static const std::string filter = Utf8ToCp932(
      "Text(*.txt *.htm *.html *.shtm *.shtml)|*.txt;*.htm;*.html;*.shtm;*.shtml|"
      "アーカイブ(*.lzh *.zip *.rar)|*.lzh;*.zip;*.rar|"
      "すべてのファイル(*.*)|*.*");
  return filter;
}

std::vector<std::string> OpenDialogNameFilters(std::string_view filter) {
  std::vector<std::string> out;
  // "|" (0x7C) is a possible trail byte, so the pairs are split by character.
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < filter.size();) {
    const size_t len = CharLen(filter, i);
    if (len == 1 && filter[i] == '|') {
      parts.emplace_back();
    } else {
      parts.back().append(filter.substr(i, len));
    }
    i += len;
  }
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string description = parts[i];
    // A description that names its patterns in parentheses would show them
    // twice once the dialog appends its own.
    if (const size_t paren = description.find('('); paren != std::string::npos)
      description.erase(paren);
    while (!description.empty() && description.back() == ' ') description.pop_back();
    std::string patterns;
    size_t start = 0;
    const std::string& list = parts[i + 1];
    while (start <= list.size()) {
      size_t end = list.find(';', start);
      if (end == std::string::npos) end = list.size();
      std::string pattern = list.substr(start, end - start);
      if (pattern == "*.*") pattern = "*";
      if (!pattern.empty()) {
        if (!patterns.empty()) patterns += ' ';
        patterns += pattern;
      }
      start = end + 1;
    }
    out.push_back(description + " (" + patterns + ")");
  }
  return out;
}

std::string OpenDialogFolder(std::string_view historyArchive, std::string_view currentDir,
                             const PathStyle& style) {
  if (!historyArchive.empty() && MatchesExtList(historyArchive, kArchiveExtensions, style))
    return std::string(historyArchive.substr(0, FileNameStart(historyArchive, style)));
  return std::string(currentDir);
}

}  // namespace rpv
