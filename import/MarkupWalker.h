// The one reading of where display-markup tags are: walking a line in units,
// each a complete tag span or one character. The converters that run after
// others (annotations after ruby marks, line preparation after both, and all
// of them over HTML output) use it so that they never look for their marks
// inside a tag that is already there; the line breaker measures, the column
// renderer draws, the search and reading positions count by it, so what one
// of them takes for a tag all of them do.
//
// A span opens at "{H\" (exactly so, on a character boundary). A ruby group
// ("{H\B}", or "{H\BL}" with its reading on the other side) closes at the
// first "{B\E}" after it, as its reading and base may carry tags of their
// own; every other span (and a ruby group without its "{B\E}") closes at
// the first "\E}" after it. An image span takes the size suffix that follows
// its "{I\E}" when that suffix is well formed. An opening with no closing
// after it is no tag: its characters are text. A complete span of a kind
// nobody knows is still a span: no room, nothing drawn, no character.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "import/DisplayMarkup.h"
#include "import/MbScan.h"

namespace rpv {

// Remembers one forward search over a line, so a walk that repeats it from
// later positions does not rescan the rest of the line each time (a line
// full of unmatched marks stays linear). The positions passed in must lie on
// the walk's character (or unit) boundaries; a position before the last
// search's start searches again.
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

class TMarkupWalker {
 public:
  TMarkupWalker() = default;
  explicit TMarkupWalker(std::string_view s) : s_(s) {}

  std::string_view Text() const { return s_; }

  // End of the complete tag span that starts at i, or 0 when none does.
  size_t TagEnd(size_t i) {
    if (!mb::At(s_, i, tag::kStart)) return 0;
    return SpanEnd(i);
  }

  // The tag span that starts at i, read; nullopt when none does.
  std::optional<TTagMatch> Tag(size_t i) {
    const size_t e = TagEnd(i);
    if (e == 0) return std::nullopt;
    return ReadTag(s_, i, e);
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
  size_t SpanEnd(size_t i);

  std::string_view s_;
  // The searches for closings are remembered, so a line full of openings
  // without one is still walked in linear time.
  TForwardSearch end_;
  TForwardSearch rubyClose_;
};

// The text without its tag spans: the characters a line shows.
std::string VisibleText(std::string_view s);

// True when the visible text holds nothing but blanks (half-width spaces,
// tabs and ideographic spaces).
bool IsBlankVisible(std::string_view s);

}  // namespace rpv
