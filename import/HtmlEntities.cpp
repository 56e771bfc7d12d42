#include "import/HtmlEntities.h"

#include <array>
#include <optional>

#include "platform/Codepage.h"

namespace rpv {
namespace {

struct Row {
  std::string_view name;
  std::string_view text;
};

constexpr std::array<Row, 8> kEntities{{
    {"&lt;", "<"},
    {"&gt;", ">"},
    {"&quot;", "\""},
    {"&amp;", "&"},
    {"&nbsp;", " "},
    {"&times;", "\x81\x7E"},  // "×"
    {"&uarr;", "\x81\xAA"},   // "↑"
    {"&copy;", "(C)"},
}};

std::optional<TEntity> NumericReference(std::string_view text, size_t pos) {
  size_t i = pos + 2;
  if (text.compare(pos, 2, "&#") != 0) return std::nullopt;
  const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
  if (hex) ++i;
  const size_t start = i;
  uint32_t v = 0;
  for (; i < text.size() && i - start < 8; ++i) {
    const char c = text[i];
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else break;
    v = v * (hex ? 16 : 10) + static_cast<uint32_t>(d);
  }
  if (i == start || i >= text.size() || text[i] != ';') return std::nullopt;
  if (v < 0x20 || (v >= 0x7F && v < 0xA0) || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
    return std::nullopt;
  return TEntity{CodePointToCp932(v), i + 1 - pos};
}

}  // namespace

TEntity MatchEntity(std::string_view text, size_t pos) {
  for (const auto& e : kEntities) {
    if (text.compare(pos, e.name.size(), e.name) == 0) return {std::string(e.text), e.name.size()};
  }
  if (auto numeric = NumericReference(text, pos)) return std::move(*numeric);
  return {"&", 1};
}

}  // namespace rpv
