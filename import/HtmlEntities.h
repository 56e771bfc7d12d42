// The character entities the HTML converter knows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rpv {

struct TEntity {
  std::string Text;  // what is appended (CP932)
  size_t Length;     // bytes of the source consumed
};

// The entity at text[pos] (which is "&"), compared case-sensitively. An
// unknown entity, or a bare "&", yields "&" and a length of 1, so the rest
// stays text. A numeric character reference ("&#233;", "&#xE9;", with its
// ";") gives its character, through the user-area table when CP932 lacks
// it; one that names a control character, a surrogate or nothing stays text.
TEntity MatchEntity(std::string_view text, size_t pos);

}  // namespace rpv
