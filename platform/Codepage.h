// Conversions between code page 932 (the program's own string encoding) and
// Unicode. A character without a CP932 form is carried by the user-defined-
// area table (platform/UserChars.h), codes with lead bytes 0xF0-0xF9 that
// every conversion here maps back; only when the table cannot give it a code
// does it become "?", as the Windows code page converter writes it.
// Undecodable CP932 bytes, and user-area codes the table never gave out,
// become U+FFFD.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rpv {

// How a conversion uses the user-defined-area table.
enum class TUserArea {
  Off,     // CP932 alone: names that must not depend on the table (the
           // settings folder, font families, archive members)
  LookUp,  // characters the table holds; nothing new is added
  Assign,  // and a character it lacks gets the next free code
};

// Decodes UTF-8 (malformed sequences become U+FFFD, which becomes "?") and
// encodes as CP932.
std::string Utf8ToCp932(std::string_view utf8, TUserArea area = TUserArea::Assign);
// A file name from UTF-8: as Utf8ToCp932, but a character that gets no code
// (table full, or area LookUp and not in the table) becomes bytes that are no
// CP932 character: such a name gives the cannot-open message rather than
// another file's, and such a search pattern matches nothing.
std::string Utf8PathToCp932(std::string_view utf8, TUserArea area = TUserArea::Assign);
// Decodes UTF-16 of the given byte order (a lone surrogate becomes U+FFFD)
// and encodes as CP932. An odd trailing byte is ignored.
std::string Utf16ToCp932(std::string_view bytes, bool bigEndian, TUserArea area = TUserArea::Assign);
std::string Utf32ToCp932(std::u32string_view text, TUserArea area = TUserArea::Assign);
// Decoding never adds to the table; Assign reads as LookUp.
std::string Cp932ToUtf8(std::string_view cp932, TUserArea area = TUserArea::LookUp);
std::u32string Cp932ToUtf32(std::string_view cp932, TUserArea area = TUserArea::LookUp);
// The code points of UTF-8 text (malformed sequences become U+FFFD).
std::u32string Utf8ToUtf32(std::string_view utf8);
std::string Utf32ToUtf8(std::u32string_view text);

// The CP932 bytes of one code point ("?" when it has none).
std::string CodePointToCp932(char32_t cp, TUserArea area = TUserArea::Assign);
// True when the text holds a code of the user-defined area.
bool HasUserAreaCode(std::string_view cp932);
// True when CP932 itself has the character (the table aside).
bool HasCp932Form(char32_t cp);
// True when the two bytes at ch are a code of the user-defined area that
// stands for a Latin letter or mark (é, ï, «): such a character belongs with
// the ASCII text around it, so vertical writing lays it on its side as it
// does single bytes, rather than upright as every other double-byte
// character. Looks the table up, never assigns.
bool IsSidewaysUserChar(std::string_view ch);

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
