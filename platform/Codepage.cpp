#include "platform/Codepage.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <memory>
#include <vector>

namespace rpv {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// One iconv conversion of a single small buffer; returns false when iconv
// cannot convert it.
bool IconvOnce(iconv_t cd, const char* in, size_t inLen, char* out, size_t& outLen) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* inPtr = const_cast<char*>(in);
  char* outPtr = out;
  size_t outLeft = outLen;
  const size_t r = iconv(cd, &inPtr, &inLen, &outPtr, &outLeft);
  if (r == static_cast<size_t>(-1) || inLen != 0) return false;
  outLen -= outLeft;
  return true;
}

struct IconvHandle {
  iconv_t cd;
  IconvHandle(const char* to, const char* from) : cd(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool ok() const { return cd != reinterpret_cast<iconv_t>(-1); }
};

// Both directions are table lookups built once from glibc's CP932 converter,
// so converting a whole book never calls iconv per character.
struct Tables {
  // CP932 code (single byte, or lead << 8 | trail) to code point; 0 = none.
  std::vector<char32_t> toUnicode = std::vector<char32_t>(0x10000, 0);
  // BMP code point to CP932 code; 0 = none (U+0000 maps to 0 by hand).
  std::vector<uint16_t> fromUnicode = std::vector<uint16_t>(0x10000, 0);

  Tables() {
    IconvHandle dec("UTF-32LE", "CP932");
    IconvHandle enc("CP932", "UTF-32LE");
    if (!dec.ok() || !enc.ok()) {
      for (int c = 0; c < 0x80; ++c) {
        toUnicode[c] = static_cast<char32_t>(c);
        fromUnicode[c] = static_cast<uint16_t>(c);
      }
      return;
    }
    auto decode = [&](const char* in, size_t n) -> char32_t {
      std::array<char, 8> out{};
      size_t outLen = out.size();
      if (!IconvOnce(dec.cd, in, n, out.data(), outLen) || outLen != 4) return 0;
      const auto* u = reinterpret_cast<const unsigned char*>(out.data());
      return static_cast<char32_t>(u[0] | (u[1] << 8) | (u[2] << 16) | (u[3] << 24));
    };
    for (int c = 1; c < 0x100; ++c) {
      if (IsLeadByte(static_cast<unsigned char>(c))) continue;
      const char b = static_cast<char>(c);
      toUnicode[c] = decode(&b, 1);
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (trail == 0x7F) continue;
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        toUnicode[(lead << 8) | trail] = decode(pair, 2);
      }
    }
    // The reverse direction asks the encoder, which knows the preferred code
    // among CP932's duplicates (NEC and IBM extensions).
    for (char32_t cp = 1; cp < 0x10000; ++cp) {
      if (cp >= 0xD800 && cp <= 0xDFFF) continue;
      const unsigned char in[4] = {static_cast<unsigned char>(cp & 0xFF),
                                   static_cast<unsigned char>((cp >> 8) & 0xFF), 0, 0};
      std::array<char, 8> out{};
      size_t outLen = out.size();
      if (!IconvOnce(enc.cd, reinterpret_cast<const char*>(in), 4, out.data(), outLen)) continue;
      const auto* o = reinterpret_cast<const unsigned char*>(out.data());
      if (outLen == 1) fromUnicode[cp] = o[0];
      else if (outLen == 2) fromUnicode[cp] = static_cast<uint16_t>((o[0] << 8) | o[1]);
    }
  }
};

const Tables& GetTables() {
  static const Tables tables;
  return tables;
}

void AppendCp932(std::string& out, char32_t cp) {
  if (cp == 0) {
    out.push_back('\0');
    return;
  }
  const uint16_t code = cp < 0x10000 ? GetTables().fromUnicode[cp] : 0;
  if (code == 0) {
    out.push_back('?');
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

std::string Utf8ToCp932(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) AppendCp932(out, DecodeUtf8(utf8, i));
  return out;
}

std::string Utf16ToCp932(std::string_view bytes, bool bigEndian) {
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
        AppendCp932(out, 0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
        ++k;
        continue;
      }
    }
    AppendCp932(out, (u >= 0xD800 && u <= 0xDFFF) ? kReplacement : u);
  }
  return out;
}

std::u32string Cp932ToUtf32(std::string_view cp932) {
  const Tables& t = GetTables();
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
    const unsigned code = len == 2 ? (b << 8) | static_cast<unsigned char>(cp932[i + 1]) : b;
    const char32_t cp = t.toUnicode[code];
    out.push_back(cp ? cp : kReplacement);
    i += len;
  }
  return out;
}

std::string Cp932ToUtf8(std::string_view cp932) {
  std::string out;
  out.reserve(cp932.size() * 3 / 2);
  for (const char32_t cp : Cp932ToUtf32(cp932)) AppendUtf8(out, cp);
  return out;
}

std::string Utf32ToCp932(std::u32string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (const char32_t cp : text) AppendCp932(out, cp);
  return out;
}

std::u32string Utf8ToUtf32(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) out.push_back(DecodeUtf8(utf8, i));
  return out;
}

std::string CodePointToCp932(char32_t cp) {
  std::string out;
  AppendCp932(out, cp);
  return out;
}

}  // namespace rpv
