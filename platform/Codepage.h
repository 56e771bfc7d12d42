// Conversions between code page 932 (the program's own string encoding) and
// Unicode. Characters without a CP932 form become "?", as the Windows code
// page converter does; undecodable CP932 bytes become U+FFFD.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rpv {

// Decodes UTF-8 (malformed sequences become U+FFFD) and encodes as CP932.
std::string Utf8ToCp932(std::string_view utf8);
// Decodes UTF-16 of the given byte order (a lone surrogate becomes U+FFFD)
// and encodes as CP932. An odd trailing byte is ignored.
std::string Utf16ToCp932(std::string_view bytes, bool bigEndian);
std::string Cp932ToUtf8(std::string_view cp932);
std::u32string Cp932ToUtf32(std::string_view cp932);
std::string Utf32ToCp932(std::u32string_view text);
// The code points of UTF-8 text (malformed sequences become U+FFFD).
std::u32string Utf8ToUtf32(std::string_view utf8);

// The CP932 bytes of one code point ("?" when it has none).
std::string CodePointToCp932(char32_t cp);

// True when the byte starts a two-byte CP932 character.
constexpr bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Length in bytes of the character starting at s[i] (1 or 2; 1 for a lead
// byte at the very end of the string).
inline size_t CharLen(std::string_view s, size_t i) {
  return (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

}  // namespace rpv
