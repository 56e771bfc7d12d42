// The character entities the HTML converter knows.
#pragma once

#include <cstddef>
#include <string_view>

namespace rpv {

struct TEntity {
  std::string_view Text;  // what is appended (CP932)
  size_t Length;          // bytes of the source consumed
};

// The entity at text[pos] (which is "&"), compared case-sensitively. An
// unknown entity, or a bare "&", yields "&" and a length of 1, so the rest
// stays text. Numeric character references are not decoded.
TEntity MatchEntity(std::string_view text, size_t pos);

}  // namespace rpv
