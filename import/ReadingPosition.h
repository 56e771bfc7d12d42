// The exact reading position: a source line and the number of visible
// characters before the first character shown. A source line alone names a
// whole paragraph, and a Japanese novel's paragraph can run over many pages;
// the character offset keeps the page the reader was on through any new
// layout (window size, style, blank-line removal, reload).
//
// Offsets count the characters a line shows: complete tag spans (ruby
// groups count their base copy only) and an image's size suffix count
// nothing. They depend on the text conversion of the style, never on the
// page size, so within one style every layout maps a position to the page
// holding that very character. The document's conversions are
// TCustomBook::PositionAt and TCustomBook::DisplayLineAt.
#pragma once

#include <cstdint>
#include <string_view>

namespace rpv {

struct TReadingPosition {
  int32_t Line = -1;   // SourceIndex of the source line; -1 none (the start)
  int32_t Offset = 0;  // visible characters of that line before the position

  // The start of a source line, as history entries without an offset and
  // bookmarks name it.
  static TReadingPosition OfLine(int32_t line) { return TReadingPosition{line, 0}; }
  bool operator==(const TReadingPosition&) const = default;
};

// A found piece of text: where it starts and how many visible characters it
// covers.
struct TTextMatch {
  TReadingPosition Start;
  int32_t Length = 0;
  bool operator==(const TTextMatch&) const = default;
};

// The number of characters the markup shows (see above).
int32_t VisibleCharCount(std::string_view markup);

}  // namespace rpv
