#include "platform/Codepage.h"

#include "platform/Cp932Tables.h"
#include "platform/UserChars.h"

namespace rpv {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The CP932 code of a code point (see Cp932Tables.h), 0 when it has none.
// glibc gives the user-defined area to the private-use characters
// U+E000-U+E757; here that area belongs to the program's own table.
uint16_t Cp932Code(char32_t cp) {
  const uint16_t code = cp < 0x10000 ? cp932::kPages[cp932::kPageIndex[cp >> 8]][cp & 0xFF] : 0;
  return IsUserAreaCode(code) ? 0 : code;
}

// What a character without any code becomes in a file name: a lead byte
// with a trail that CP932 never uses, which no path can be made of, so such
// a name fails to open instead of opening "caf?.txt".
constexpr std::string_view kNoFileChar = "\x81\x7F";

// forName: a file name (or search pattern), which may take the codes kept
// for names, and whose characters without a code become kNoFileChar.
void AppendCp932(std::string& out, char32_t cp, TUserArea area, bool forName = false) {
  if (cp == 0) {
    out.push_back('\0');
    return;
  }
  uint16_t code = Cp932Code(cp);
  if (code == 0 && area != TUserArea::Off)
    code = ProcessUserCharCode(cp, area == TUserArea::Assign, forName);
  if (code == 0) {
    out.append(forName ? kNoFileChar : "?");
  } else if (code < 0x100) {
    out.push_back(static_cast<char>(code));
  } else {
    out.push_back(static_cast<char>(code >> 8));
    out.push_back(static_cast<char>(code & 0xFF));
  }
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at s[i], advancing i; malformed input
// (overlong, surrogate, truncated, out of range) gives U+FFFD and skips one byte.
char32_t DecodeUtf8(std::string_view s, size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  int len = 0;
  char32_t cp = 0;
  char32_t min = 0;
  if ((b0 & 0xE0) == 0xC0) { len = 2; cp = b0 & 0x1F; min = 0x80; }
  else if ((b0 & 0xF0) == 0xE0) { len = 3; cp = b0 & 0x0F; min = 0x800; }
  else if ((b0 & 0xF8) == 0xF0) { len = 4; cp = b0 & 0x07; min = 0x10000; }
  else { ++i; return kReplacement; }
  if (i + len > s.size()) { ++i; return kReplacement; }
  for (int k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) { ++i; return kReplacement; }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) { ++i; return kReplacement; }
  i += len;
  return cp;
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8, TUserArea area) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) AppendCp932(out, DecodeUtf8(utf8, i), area);
  return out;
}

std::string Utf8PathToCp932(std::string_view utf8, TUserArea area) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) AppendCp932(out, DecodeUtf8(utf8, i), area, true);
  return out;
}

std::string Utf16ToCp932(std::string_view bytes, bool bigEndian, TUserArea area) {
  std::string out;
  out.reserve(bytes.size());
  const size_t n = bytes.size() / 2;
  auto unit = [&](size_t k) -> char32_t {
    const auto a = static_cast<unsigned char>(bytes[2 * k]);
    const auto b = static_cast<unsigned char>(bytes[2 * k + 1]);
    return bigEndian ? static_cast<char32_t>((a << 8) | b) : static_cast<char32_t>((b << 8) | a);
  };
  for (size_t k = 0; k < n; ++k) {
    const char32_t u = unit(k);
    if (u >= 0xD800 && u <= 0xDBFF && k + 1 < n) {
      const char32_t v = unit(k + 1);
      if (v >= 0xDC00 && v <= 0xDFFF) {
        AppendCp932(out, 0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00), area);
        ++k;
        continue;
      }
    }
    AppendCp932(out, (u >= 0xD800 && u <= 0xDFFF) ? kReplacement : u, area);
  }
  return out;
}

std::u32string Cp932ToUtf32(std::string_view cp932, TUserArea area) {
  std::u32string out;
  out.reserve(cp932.size());
  for (size_t i = 0; i < cp932.size();) {
    const auto b = static_cast<unsigned char>(cp932[i]);
    if (b == 0) {
      out.push_back(0);
      ++i;
      continue;
    }
    const size_t len = CharLen(cp932, i);
    char32_t cp = 0;
    if (len == 1) {
      cp = cp932::kSingleByte[b];
    } else {
      const auto trail = static_cast<unsigned char>(cp932[i + 1]);
      const auto code = static_cast<uint16_t>(b << 8 | trail);
      if (!IsUserAreaCode(code)) cp = cp932::kDoubleByte[cp932::LeadIndex(b)][trail];
      else if (area != TUserArea::Off) cp = ProcessUserChar(code);
    }
    out.push_back(cp ? cp : kReplacement);
    i += len;
  }
  return out;
}

bool IsSidewaysUserChar(std::string_view ch) {
  if (ch.size() < 2) return false;
  const auto code = static_cast<uint16_t>(static_cast<unsigned char>(ch[0]) << 8 |
                                          static_cast<unsigned char>(ch[1]));
  if (!IsUserAreaCode(code)) return false;
  const char32_t cp = ProcessUserChar(code);
  // Latin-1 Supplement, Latin Extended-A/B, IPA, combining marks, Latin
  // Extended Additional.
  return (cp >= 0xA0 && cp <= 0x36F) || (cp >= 0x1E00 && cp <= 0x1EFF);
}

std::string Cp932ToUtf8(std::string_view cp932, TUserArea area) {
  std::string out;
  out.reserve(cp932.size() * 3 / 2);
  for (const char32_t cp : Cp932ToUtf32(cp932, area)) AppendUtf8(out, cp);
  return out;
}

std::string Utf32ToCp932(std::u32string_view text, TUserArea area) {
  std::string out;
  out.reserve(text.size() * 2);
  for (const char32_t cp : text) AppendCp932(out, cp, area);
  return out;
}

std::string Utf32ToUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (const char32_t cp : text) AppendUtf8(out, cp);
  return out;
}

std::u32string Utf8ToUtf32(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) out.push_back(DecodeUtf8(utf8, i));
  return out;
}

std::string CodePointToCp932(char32_t cp, TUserArea area) {
  std::string out;
  AppendCp932(out, cp, area);
  return out;
}

bool HasUserAreaCode(std::string_view cp932) {
  for (size_t i = 0; i < cp932.size();) {
    const size_t len = CharLen(cp932, i);
    if (len == 2 && IsUserAreaCode(static_cast<uint16_t>(static_cast<unsigned char>(cp932[i]) << 8 |
                                                         static_cast<unsigned char>(cp932[i + 1]))))
      return true;
    i += len;
  }
  return false;
}

bool HasCp932Form(char32_t cp) { return cp == 0 || Cp932Code(cp) != 0; }

}  // namespace rpv
