// Walking a line of display markup in units: a complete tag span (from "{H\"
// through the next "\E}") or one character. The converters that run after
// others (annotations after ruby marks, line preparation after both, and all
// of them over HTML output) use it so that they never look for their marks
// inside a tag that is already there.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "import/DisplayMarkup.h"
#include "import/MbScan.h"

namespace rpv {

class TMarkupWalker {
 public:
  explicit TMarkupWalker(std::string_view s) : s_(s) {}

  // End of the complete tag span that starts at i, or 0 when none does (also
  // for a "{H\" with no "\E}" after it: that is ordinary text).
  size_t TagEnd(size_t i) {
    if (!mb::At(s_, i, tag::kStart) || i >= noEndFrom_) return 0;
    const size_t e = mb::Find(s_, tag::kEnd, i + tag::kStart.size());
    if (e == std::string_view::npos) {
      // No later "{H\" can be closed either: remember, so a line full of
      // unclosed tags is still walked in linear time.
      noEndFrom_ = i;
      return 0;
    }
    return e + tag::kEnd.size();
  }

  // End of the unit that starts at i (i < size).
  size_t Next(size_t i) {
    const size_t e = TagEnd(i);
    return e != 0 ? e : i + mb::Len(s_, i);
  }

  // First occurrence of `what` at or after `from` that starts a unit outside
  // tag spans; npos when none.
  size_t Find(std::string_view what, size_t from) {
    for (size_t i = from; i < s_.size(); i = Next(i)) {
      if (mb::At(s_, i, what)) return i;
    }
    return std::string_view::npos;
  }

 private:
  std::string_view s_;
  size_t noEndFrom_ = std::string_view::npos;
};

// Remembers one forward search over a line, so a walk that repeats it from
// later positions does not rescan the rest of the line each time (a line
// full of unmatched marks stays linear). The positions passed in must grow
// and lie on the walk's character (or unit) boundaries.
class TForwardSearch {
 public:
  template <class Search>
  size_t Find(size_t from, Search&& search) {
    if (valid_ && from >= from_ && (result_ == std::string_view::npos || from <= result_)) {
      return result_;
    }
    from_ = from;
    result_ = search(from);
    valid_ = true;
    return result_;
  }

 private:
  bool valid_ = false;
  size_t from_ = 0;
  size_t result_ = std::string_view::npos;
};

// The text without its complete tag spans: what a line shows.
inline std::string VisibleText(std::string_view s) {
  return mb::StripSpans(s, tag::kStart, tag::kEnd);
}

// True when the visible text holds nothing but blanks (half-width spaces,
// tabs and ideographic spaces).
inline bool IsBlankVisible(std::string_view s) {
  const std::string v = VisibleText(s);
  for (size_t i = 0; i < v.size(); i += mb::Len(v, i)) {
    if (v[i] == ' ' || v[i] == '\t') continue;
    if (v.compare(i, 2, "\x81\x40") == 0) continue;
    return false;
  }
  return true;
}

}  // namespace rpv
