#include "bookmarks/BookMarkCsv.h"

#include <limits>

#include "platform/Codepage.h"

namespace rpv {
namespace {

// Blanks are the control bytes and the space. NUL counts as one too, so a
// stray NUL can neither end the line early nor stall the scan.
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

size_t SkipBlanks(std::string_view s, size_t i) {
  while (i < s.size() && IsBlank(s[i])) ++i;
  return i;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

size_t SjisCharLen(std::string_view s, size_t i) {
  if (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() &&
      IsTrailByte(static_cast<unsigned char>(s[i + 1])))
    return 2;
  return 1;
}

std::vector<std::string> SplitBookMarkLine(std::string_view line) {
  std::vector<std::string> fields;
  size_t i = SkipBlanks(line, 0);
  while (i < line.size()) {
    std::string value;
    if (line[i] == '"') {
      ++i;
      // Up to the first quote that is not doubled; an unclosed field runs to
      // the end of the line.
      while (i < line.size()) {
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            value += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        const size_t len = SjisCharLen(line, i);
        value.append(line.substr(i, len));
        i += len;
      }
    } else {
      const size_t start = i;
      while (i < line.size() && !IsBlank(line[i]) && line[i] != ',') i += SjisCharLen(line, i);
      value.assign(line.substr(start, i - start));
    }
    fields.push_back(std::move(value));
    i = SkipBlanks(line, i);
    if (i < line.size() && line[i] == ',') {
      if (i + 1 == line.size()) fields.emplace_back();
      i = SkipBlanks(line, i + 1);
    }
  }
  return fields;
}

std::string QuoteBookMarkField(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  // Byte by byte is exact here: neither a quote nor a line feed is ever the
  // trail byte of a double-byte character.
  for (const char c : text) {
    if (c == '"')
      out += "\"\"";
    else if (c == '\n')
      out += ' ';
    else
      out += c;
  }
  out += '"';
  return out;
}

std::optional<int32_t> ParseWholeNumber(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  // Accumulate as a negative value so INT32_MIN fits.
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return std::nullopt;
    value = value * 10 - (text[i] - '0');
    if (value < std::numeric_limits<int32_t>::min()) return std::nullopt;
  }
  if (!negative) {
    value = -value;
    if (value > std::numeric_limits<int32_t>::max()) return std::nullopt;
  }
  return static_cast<int32_t>(value);
}

std::optional<bool> ParseBooleanText(std::string_view text) {
  if (EqualsIgnoringCase(text, "True")) return true;
  if (EqualsIgnoringCase(text, "False")) return false;
  // A decimal number: sign, digits with an optional point, optional exponent.
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool anyDigit = false;
  bool nonZero = false;
  bool seenPoint = false;
  for (; i < text.size(); ++i) {
    if (IsDigit(text[i])) {
      anyDigit = true;
      nonZero = nonZero || text[i] != '0';
    } else if (text[i] == '.' && !seenPoint) {
      seenPoint = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const size_t digits = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i == digits) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  return nonZero;
}

}  // namespace rpv
