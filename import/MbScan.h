// Character-aligned scanning over CP932 byte strings, shared by the markup
// converters. Every search here only ever matches at the start of a
// character, so the trail byte of a double-byte character (which may be
// "\", "{", "}", "|", a letter...) is never taken for markup.
//
// A lead byte counts as the start of a two-byte character only when a valid
// trail byte (0x40-0x7E, 0x80-0xFC) follows it; a broken lead byte before an
// ASCII control or markup byte stays a single byte, so a damaged character
// can never swallow the "<" or line break after it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/Codepage.h"

namespace rpv::mb {

constexpr bool IsTrailByte(unsigned char b) {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Length of the character that starts at s[i] (1 or 2); i must be < size.
inline size_t Len(std::string_view s, size_t i) {
  return (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() &&
          IsTrailByte(static_cast<unsigned char>(s[i + 1])))
             ? 2
             : 1;
}

// Whether `lit` stands at byte i of s (false past the end). Byte by byte:
// the converters ask this at every character of a book, where a library
// compare costs a call each time.
inline bool At(std::string_view s, size_t i, std::string_view lit) {
  if (i > s.size() || s.size() - i < lit.size()) return false;
  for (size_t k = 0; k < lit.size(); ++k) {
    if (s[i + k] != lit[k]) return false;
  }
  return true;
}

// Position of the first occurrence of `what` that starts on a character
// boundary at or after `from` (which must itself be a boundary); npos if none.
inline size_t Find(std::string_view s, std::string_view what, size_t from = 0) {
  if (what.empty()) return from <= s.size() ? from : std::string_view::npos;
  for (size_t i = from; i < s.size(); i += Len(s, i)) {
    if (At(s, i, what)) return i;
  }
  return std::string_view::npos;
}

inline bool Contains(std::string_view s, std::string_view what) {
  return Find(s, what) != std::string_view::npos;
}

// Number of characters.
inline size_t Count(std::string_view s) {
  size_t n = 0;
  for (size_t i = 0; i < s.size(); i += Len(s, i)) ++n;
  return n;
}

// Removes every span from a `start` through the first `end` after it, from the
// left, matching both only on character boundaries; a start without an end
// after it stays with everything that follows it.
inline std::string StripSpans(std::string_view s, std::string_view start, std::string_view end) {
  std::string out;
  size_t copied = 0;
  size_t i = 0;
  while (start.size() > 0) {
    const size_t a = Find(s, start, i);
    if (a == std::string_view::npos) break;
    const size_t b = Find(s, end, a + start.size());
    if (b == std::string_view::npos) break;
    out.append(s, copied, a - copied);
    copied = i = b + end.size();
  }
  out.append(s, copied, std::string_view::npos);
  return out;
}

inline char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// ASCII case-insensitive comparison of s at position i with `what`.
inline bool MatchesNoCase(std::string_view s, size_t i, std::string_view what) {
  if (i > s.size() || s.size() - i < what.size()) return false;
  for (size_t k = 0; k < what.size(); ++k) {
    if (AsciiUpper(s[i + k]) != AsciiUpper(what[k])) return false;
  }
  return true;
}

}  // namespace rpv::mb
