#include "import/Tools.h"

#include "platform/Codepage.h"

namespace rpv {

int32_t PosFrom(std::string_view sub, std::string_view s, int32_t from) {
  if (from < 1) from = 1;
  const auto start = static_cast<size_t>(from - 1);
  if (start > s.size()) return 0;
  const size_t at = s.find(sub, start);
  return at == std::string_view::npos ? 0 : static_cast<int32_t>(at + 1);
}

int32_t AnsiPosFrom(std::string_view sub, std::string_view s, int32_t from) {
  if (from <= 0 || static_cast<size_t>(from) > s.size()) return 0;
  if (sub.empty()) return from;
  // Character boundaries are only known by walking from the beginning.
  size_t boundary = 0;
  size_t pos = static_cast<size_t>(from - 1);
  while (true) {
    const size_t at = s.find(sub, pos);
    if (at == std::string_view::npos) return 0;
    while (boundary < at) boundary += CharLen(s, boundary);
    if (boundary == at) return static_cast<int32_t>(at + 1);
    pos = at + 1;  // the match began on a trail byte
  }
}

std::string RepeatString(std::string_view s, int32_t n) {
  std::string out;
  if (n <= 0 || s.empty()) return out;
  out.reserve(s.size() * static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) out.append(s);
  return out;
}

std::string CopyBytes(std::string_view src, int32_t n) {
  if (n <= 0) return {};
  const std::string_view head = src.substr(0, static_cast<size_t>(n));
  return std::string(head.substr(0, head.find('\0')));
}

std::string WideDigitsToAscii(std::string_view s) {
  // "０".."９" are 0x82 0x4F .. 0x82 0x58 in CP932.
  std::string out;
  for (size_t i = 0; i < s.size();) {
    const size_t len = CharLen(s, i);
    if (len == 2 && static_cast<unsigned char>(s[i]) == 0x82) {
      const auto t = static_cast<unsigned char>(s[i + 1]);
      if (t >= 0x4F && t <= 0x58) out.push_back(static_cast<char>('0' + (t - 0x4F)));
    }
    i += len;
  }
  return out;
}

}  // namespace rpv
