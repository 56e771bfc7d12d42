// Path operations of Tools.h. Paths are CP932, so a separator is only a
// separator when it is a whole single-byte character: the 0x5C trail byte of
// a double-byte character never splits a path.
#include <algorithm>
#include <vector>

#include "import/Tools.h"
#include "platform/Codepage.h"

namespace rpv {
namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Offset just past the last separator character of s (0 when none).
size_t AfterLastSep(std::string_view s, char sep) {
  size_t after = 0;
  for (size_t i = 0; i < s.size(); i += CharLen(s, i)) {
    if (s[i] == sep && CharLen(s, i) == 1) after = i + 1;
  }
  return after;
}

// Offset of the first separator character at or after from (npos when none).
size_t NextSep(std::string_view s, size_t from, char sep) {
  for (size_t i = from; i < s.size(); i += CharLen(s, i)) {
    if (s[i] == sep) return i;
  }
  return std::string_view::npos;
}

// Length of the drive part: "C:" or a "\\server\share" root under the
// Windows rules; always 0 under the POSIX rules, which have no drives.
size_t DriveLength(std::string_view path, const PathStyle& style) {
  if (!style.drives) return 0;
  if (path.size() >= 2 && path[1] == ':' && IsAsciiLetter(path[0])) return 2;
  if (path.size() >= 2 && path[0] == style.separator && path[1] == style.separator) {
    const size_t serverEnd = NextSep(path, 2, style.separator);
    if (serverEnd == std::string_view::npos) return path.size();
    const size_t shareEnd = NextSep(path, serverEnd + 1, style.separator);
    return shareEnd == std::string_view::npos ? path.size() : shareEnd;
  }
  return 0;
}

bool EndsWithSep(std::string_view s, char sep) {
  return !s.empty() && s.back() == sep && AfterLastSep(s, sep) == s.size();
}

}  // namespace

bool MatchesExtList(std::string_view fileName, std::string_view list, const PathStyle& style) {
  if (list.empty()) return true;
  size_t nameStart = AfterLastSep(fileName, style.separator);
  if (style.drives) nameStart = std::max(nameStart, DriveLength(fileName, style));
  const std::string_view name = fileName.substr(nameStart);
  const size_t dot = name.rfind('.');  // 0x2E is never a trail byte
  if (dot == std::string_view::npos) return false;
  std::string ext(name.substr(dot));
  for (size_t i = 0; i < ext.size(); i += CharLen(ext, i)) {
    if (ext[i] >= 'A' && ext[i] <= 'Z') ext[i] = static_cast<char>(ext[i] - 'A' + 'a');
  }
  size_t pos = 0;
  while (pos <= list.size()) {
    size_t semi = list.find(';', pos);
    if (semi == std::string_view::npos) semi = list.size();
    const std::string_view item = list.substr(pos, semi - pos);
    // An empty item (";;" or a trailing ";") would match every name.
    if (!item.empty() && ext.find(item) != std::string::npos) return true;
    pos = semi + 1;
  }
  return false;
}

std::string EnsureLeadingSep(std::string_view s, const PathStyle& style) {
  if (!s.empty() && s.front() == style.separator) return std::string(s);
  std::string out(1, style.separator);
  out.append(s);
  return out;
}

std::string DropLeadingSep(std::string_view s, const PathStyle& style) {
  if (!s.empty() && s.front() == style.separator) s.remove_prefix(1);
  return std::string(s);
}

std::string EnsureTrailingSep(std::string_view s, const PathStyle& style) {
  std::string out(s);
  if (!s.empty() && !EndsWithSep(s, style.separator)) out.push_back(style.separator);
  return out;
}

bool IsAbsolutePath(std::string_view path, const PathStyle& style) {
  if (style.drives) return DriveLength(path, style) > 0;
  return !path.empty() && path.front() == style.separator;
}

std::string ExpandRelativePath(std::string_view path, const PathStyle& style) {
  const size_t driveLen = DriveLength(path, style);
  const std::string_view rest = path.substr(driveLen);
  const char sep = style.separator;

  // The segments kept so far; an empty one stands for a separator that ended
  // the path (a folder path keeps its trailing separator).
  std::vector<std::string_view> kept;
  size_t pos = 0;
  while (pos <= rest.size()) {
    size_t next = NextSep(rest, pos, sep);
    if (next == std::string_view::npos) next = rest.size();
    const std::string_view seg = rest.substr(pos, next - pos);
    if (seg == "..") {
      while (!kept.empty() && kept.back().empty()) kept.pop_back();
      if (!kept.empty()) kept.pop_back();
    } else if (seg.empty()) {
      if (!kept.empty() && !kept.back().empty()) kept.push_back(seg);
    } else if (seg != ".") {
      // A doubled separator inside the path means nothing.
      while (!kept.empty() && kept.back().empty()) kept.pop_back();
      kept.push_back(seg);
    }
    pos = next + 1;
  }

  std::string out(path.substr(0, driveLen));
  out.push_back(sep);
  bool needSep = false;
  for (const std::string_view seg : kept) {
    if (seg.empty()) continue;
    if (needSep) out.push_back(sep);
    out.append(seg);
    needSep = true;
  }
  if (needSep && !kept.empty() && kept.back().empty()) out.push_back(sep);
  return out;
}

std::string ResolvePath(std::string_view baseDir, std::string_view path, const PathStyle& style) {
  if (IsAbsolutePath(path, style)) return std::string(path);
  return ExpandRelativePath(EnsureTrailingSep(baseDir, style) + DropLeadingSep(path, style), style);
}

}  // namespace rpv
