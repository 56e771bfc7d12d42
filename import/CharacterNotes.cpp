#include "import/CharacterNotes.h"

#include <iconv.h>

#include <array>
#include <optional>

#include "import/ByteSearch.h"
#include "import/MbScan.h"
#include "platform/Codepage.h"

namespace rpv {
namespace {

constexpr std::string_view kNoteStart = "\x81\xA6\x81\x6D\x81\x94";  // "※［＃"
constexpr std::string_view kNoteEnd = "\x81\x6E";                    // "］"
constexpr std::string_view kComma = "\x81\x41";                      // "、"

// Full-width digits, letters and signs as their ASCII forms, so that
// "第３水準１－８５－５４" reads like "第3水準1-85-54".
std::u32string Narrow(std::u32string s) {
  for (char32_t& c : s) {
    if (c >= U'\uFF01' && c <= U'\uFF5E') c -= 0xFEE0;
    else if (c == U'\u2212' || c == U'\u2010' || c == U'\u2015') c = U'-';
  }
  return s;
}

std::optional<int> Number(std::u32string_view s, int max) {
  if (s.empty() || s.size() > 3) return std::nullopt;
  int v = 0;
  for (const char32_t c : s) {
    if (c < U'0' || c > U'9') return std::nullopt;
    v = v * 10 + static_cast<int>(c - U'0');
  }
  if (v < 1 || v > max) return std::nullopt;
  return v;
}

// "U+546D" (4 to 6 hex digits).
std::optional<char32_t> CodePoint(std::u32string_view s) {
  if (s.size() < 6 || s.size() > 8 || (s[0] != U'U' && s[0] != U'u') || s[1] != U'+') return std::nullopt;
  char32_t v = 0;
  for (const char32_t c : s.substr(2)) {
    int d;
    if (c >= U'0' && c <= U'9') d = static_cast<int>(c - U'0');
    else if (c >= U'A' && c <= U'F') d = static_cast<int>(c - U'A') + 10;
    else if (c >= U'a' && c <= U'f') d = static_cast<int>(c - U'a') + 10;
    else return std::nullopt;
    v = v << 4 | static_cast<char32_t>(d);
  }
  if (v == 0 || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return std::nullopt;
  return v;
}

// A JIS X 0213 character by plane, row and cell, through glibc's
// EUC-JISX0213 converter (plane 1 as two bytes 0xA0 + row, 0xA0 + cell,
// plane 2 after 0x8F). Some are a base and a combining mark: two code points.
std::u32string FromMenKuTen(int plane, int row, int cell) {
  std::string in;
  if (plane == 2) in.push_back('\x8F');
  in.push_back(static_cast<char>(0xA0 + row));
  in.push_back(static_cast<char>(0xA0 + cell));
  const iconv_t cd = iconv_open("UTF-32LE", "EUC-JISX0213");
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::array<char, 16> out{};
  char* inPtr = in.data();
  size_t inLeft = in.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  const size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  // A character the converter keeps back until it knows the next one.
  if (r != static_cast<size_t>(-1)) iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1) || inLeft != 0) return {};
  std::u32string cps;
  const auto* u = reinterpret_cast<const unsigned char*>(out.data());
  for (size_t k = 0; k + 4 <= out.size() - outLeft; k += 4)
    cps.push_back(static_cast<char32_t>(u[k] | u[k + 1] << 8 | u[k + 2] << 16 | u[k + 3] << 24));
  return cps;
}

// "第3水準1-85-54", "第4水準2-12-34" or a bare "1-2-22".
std::u32string FromPlaneRowCell(std::u32string_view s) {
  for (const std::u32string_view level : {U"第3水準", U"第4水準", U"第三水準", U"第四水準"})
    if (s.starts_with(level)) s.remove_prefix(level.size());
  const size_t a = s.find(U'-');
  const size_t b = a == std::u32string_view::npos ? a : s.find(U'-', a + 1);
  if (b == std::u32string_view::npos) return {};
  const auto plane = Number(s.substr(0, a), 2);
  const auto row = Number(s.substr(a + 1, b - a - 1), 94);
  const auto cell = Number(s.substr(b + 1), 94);
  if (!plane || !row || !cell) return {};
  return FromMenKuTen(*plane, *row, *cell);
}

bool IsNotationChar(char32_t c) { return c == U'《' || c == U'》' || c == U'｜'; }

}  // namespace

std::string NotedCharacter(std::string_view inside) {
  // The parts after the first "、": the first is the description.
  size_t at = mb::Find(inside, kComma);
  while (at != std::string_view::npos) {
    const size_t from = at + kComma.size();
    const size_t next = mb::Find(inside, kComma, from);
    const std::u32string part =
        Narrow(Cp932ToUtf32(inside.substr(from, next == std::string_view::npos ? next : next - from),
                            TUserArea::Off));
    std::u32string cps;
    if (const auto cp = CodePoint(part)) cps.assign(1, *cp);
    else cps = FromPlaneRowCell(part);
    if (!cps.empty()) {
      for (const char32_t c : cps)
        if (IsNotationChar(c) || c < 0x20) return {};
      const std::string out = Utf32ToCp932(cps);
      // "?" here means the table had no room: the note says more.
      if (out.find('?') != std::string::npos) return {};
      return out;
    }
    at = next;
  }
  return {};
}

std::optional<std::string> ReplaceCharacterNotes(std::string_view line) {
  if (!HasBytes(line, kNoteStart)) return std::nullopt;
  std::optional<std::string> out;
  size_t copied = 0;
  for (size_t i = mb::Find(line, kNoteStart); i != std::string_view::npos;
       i = mb::Find(line, kNoteStart, i)) {
    const size_t inside = i + kNoteStart.size();
    const size_t end = mb::Find(line, kNoteEnd, inside);
    if (end == std::string_view::npos) break;
    const std::string ch = NotedCharacter(line.substr(inside, end - inside));
    if (ch.empty()) {
      i = inside;
      continue;
    }
    if (!out) out.emplace();
    out->append(line, copied, i - copied).append(ch);
    i = copied = end + kNoteEnd.size();
  }
  if (out) out->append(line, copied);
  return out;
}

}  // namespace rpv
