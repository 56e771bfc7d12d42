#include "import/Colours.h"

#include <array>
#include <cstdio>

#include "import/MbScan.h"

namespace rpv {
namespace {

struct NamedColour {
  TColor value;
  std::string_view name;
};

// The standard colours, in the order the names are looked up; red is the
// low byte.
constexpr std::array<NamedColour, 20> kNamedColours{{
    {0x000000, "clBlack"},      {0x000080, "clMaroon"}, {0x008000, "clGreen"},
    {0x008080, "clOlive"},      {0x800000, "clNavy"},   {0x800080, "clPurple"},
    {0x808000, "clTeal"},       {0x808080, "clGray"},   {0xC0C0C0, "clSilver"},
    {0x0000FF, "clRed"},        {0x00FF00, "clLime"},   {0x00FFFF, "clYellow"},
    {0xFF0000, "clBlue"},       {0xFF00FF, "clFuchsia"}, {0xFFFF00, "clAqua"},
    {0xFFFFFF, "clWhite"},      {0xC0DCC0, "clMoneyGreen"}, {0xF0CAA6, "clSkyBlue"},
    {0xF0FBFF, "clCream"},      {0xA4A0A0, "clMedGray"},
}};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool SameNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && mb::MatchesNoCase(a, 0, b);
}

}  // namespace

std::string ColorToString(TColor colour) {
  for (const auto& c : kNamedColours) {
    if (c.value == colour) return std::string(c.name);
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", static_cast<std::uint32_t>(colour));
  return buf;
}

std::optional<TColor> StringToColor(std::string_view text) {
  for (const auto& c : kNamedColours) {
    if (SameNoCase(text, c.name)) return c.value;
  }
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  std::uint64_t value = 0;
  if (i < text.size() && text[i] == '$') {
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    i += 2;
  } else {
    // Decimal.
    if (i >= text.size()) return std::nullopt;
    for (; i < text.size(); ++i) {
      if (text[i] < '0' || text[i] > '9') return std::nullopt;
      value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
      if (value > 0x80000000ULL) return std::nullopt;
    }
    if (!negative && value > 0x7FFFFFFFULL) return std::nullopt;
    const auto v = static_cast<std::int64_t>(value);
    return static_cast<TColor>(negative ? -v : v);
  }
  // Hexadecimal: up to eight digits, read as the 32 bits of the value.
  if (i >= text.size() || text.size() - i > 8) return std::nullopt;
  for (; i < text.size(); ++i) {
    const int d = HexDigit(text[i]);
    if (d < 0) return std::nullopt;
    value = value * 16 + static_cast<std::uint64_t>(d);
  }
  auto bits = static_cast<std::uint32_t>(value);
  if (negative) bits = ~bits + 1U;
  return static_cast<TColor>(bits);
}

std::string HtmlHexToColourText(std::string_view value) {
  if (value.size() != 7 || value[0] != '#') return {};
  for (size_t i = 1; i < 7; ++i) {
    if (HexDigit(value[i]) < 0) return {};
  }
  std::string out = "$00";
  out += value.substr(5, 2);
  out += value.substr(3, 2);
  out += value.substr(1, 2);
  return out;
}

}  // namespace rpv
