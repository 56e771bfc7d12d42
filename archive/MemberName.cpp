#include "archive/MemberName.h"

#include <cstdio>
#include <vector>

#include "platform/Codepage.h"

namespace rpv {
namespace {

std::string Substitute(char32_t cp) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "[U+%04X]", static_cast<unsigned>(cp));
  return buf;
}

std::string FromCodePoints(std::u32string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (const char32_t cp : text) {
    if (cp < 0x20 || cp == 0x7F || cp == 0xFFFD) {
      out += Substitute(cp);
      continue;
    }
    // Names of members are the same in every run, whatever the table holds.
    const std::string bytes = CodePointToCp932(cp, TUserArea::Off);
    const bool missing = bytes == "?" && cp != U'?';
    const bool becomesSeparator = bytes == "\\" && cp != U'\\';
    out += (missing || becomesSeparator) ? Substitute(cp) : bytes;
  }
  return out;
}

// The name cut at every whole-character separator.
std::vector<std::string_view> Parts(std::string_view name) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i < name.size();) {
    const size_t len = CharLen(name, i);
    if (len == 1 && (name[i] == '/' || name[i] == '\\')) {
      parts.push_back(name.substr(start, i - start));
      start = i + 1;
    }
    i += len;
  }
  parts.push_back(name.substr(start));
  return parts;
}

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::string MemberNameFromUtf8(std::string_view utf8) { return FromCodePoints(Utf8ToUtf32(utf8)); }

std::string MemberNameFromCp932(std::string_view cp932) {
  return FromCodePoints(Cp932ToUtf32(cp932, TUserArea::Off));
}

std::string MemberBareName(std::string_view name) { return std::string(Parts(name).back()); }

bool IsSafeMemberName(std::string_view name) {
  if (name.empty() || name[0] == '/' || name[0] == '\\') return false;
  if (name.size() >= 2 && IsAsciiLetter(name[0]) && name[1] == ':') return false;
  const std::vector<std::string_view> parts = Parts(name);
  for (const std::string_view part : parts) {
    if (part == "..") return false;
  }
  const std::string_view bare = parts.back();
  return !bare.empty() && bare != "." && bare != "..";
}

}  // namespace rpv
