// Fast byte-sequence tests, used to pass over the many lines that cannot
// hold a construct before walking a line character by character. A byte
// match is necessary for a character-aligned one, so a miss is certain; a
// hit still needs the careful walk.
#pragma once

#include <string.h>

#include <cstddef>
#include <string_view>

namespace rpv {

// The needles here are double-byte symbols whose first byte (0x81) starts
// every other punctuation mark of Japanese text, while their second byte is
// an ASCII letter, rare in such text: so the search runs on the second byte
// (memchr) and checks the rest at each hit. memmem costs more than the
// search itself on lines this short.
inline bool HasBytes(std::string_view hay, std::string_view needle) {
  if (needle.size() < 2) return hay.find(needle) != std::string_view::npos;
  if (hay.size() < needle.size()) return false;
  const char* const begin = hay.data();
  const char* const last = begin + (hay.size() - needle.size());  // latest start
  const char* from = begin + 1;
  while (from <= last + 1) {
    const void* hit = memchr(from, needle[1], static_cast<size_t>(last + 2 - from));
    if (hit == nullptr) return false;
    const char* start = static_cast<const char*>(hit) - 1;
    if (memcmp(start, needle.data(), needle.size()) == 0) return true;
    from = start + 2;
  }
  return false;
}

}  // namespace rpv
