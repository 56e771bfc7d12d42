#include "import/HtmlEntities.h"

#include <array>

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

}  // namespace

TEntity MatchEntity(std::string_view text, size_t pos) {
  for (const auto& e : kEntities) {
    if (text.compare(pos, e.name.size(), e.name) == 0) return {e.text, e.name.size()};
  }
  return {"&", 1};
}

}  // namespace rpv
