// Reading positions of the document: display line <-> (source line,
// visible character offset).
#include "import/ReadingPosition.h"

#include <algorithm>

#include "import/CustomBookClass.h"
#include "import/MarkupWalker.h"

namespace rpv {
namespace {

// The blank lines that pictures insert: no text and SourceIndex 0 (line 0
// itself only ever stands first).
bool IsPadding(const TLine& line, int32_t index) {
  return index > 0 && line.SourceIndex == 0 && line.Text.empty();
}

}  // namespace

int32_t VisibleCharCount(std::string_view markup) {
  TMarkupWalker walker(markup);
  int32_t count = 0;
  for (size_t i = 0; i < markup.size();) {
    const size_t tagEnd = walker.TagEnd(i);
    if (tagEnd != 0) {
      i = tagEnd;
      continue;
    }
    i += mb::Len(markup, i);
    ++count;
  }
  return count;
}

TReadingPosition TCustomBook::PositionAt(int32_t displayIndex) const {
  const int32_t count = DisplayLines.Count();
  if (count == 0 || displayIndex < 0) return {};
  int32_t d = std::min(displayIndex, count - 1);
  // A page opening with a picture's blank lines stands for what follows
  // them (or, at the very end, for what precedes them).
  while (d + 1 < count && IsPadding(*DisplayLines.Item(d), d)) ++d;
  while (d > 0 && IsPadding(*DisplayLines.Item(d), d)) --d;
  const int32_t line = DisplayLines.Item(d)->SourceIndex;
  int32_t offset = 0;
  for (int32_t k = d - 1; k >= 0 && DisplayLines.Item(k)->SourceIndex == line; --k)
    offset += VisibleCharCount(DisplayLines.Item(k)->Text);
  return TReadingPosition{line, offset};
}

int32_t TCustomBook::DisplayLineAt(const TReadingPosition& position) const {
  const int32_t count = DisplayLines.Count();
  if (count == 0) return -1;
  if (position.Line < 0) return 0;
  // The first display line of the source line. A line that has none now
  // (a blank line removed, an annotation line) gives the next one, not the
  // start of the book.
  int32_t d = 0;
  while (d < count && DisplayLines.Item(d)->SourceIndex < position.Line) ++d;
  if (d == count) return count - 1;
  if (DisplayLines.Item(d)->SourceIndex != position.Line) return d;
  // The display line holding the character; past the line's end, its last
  // line that shows anything.
  int32_t start = 0;
  int32_t holding = d;
  for (; d < count && DisplayLines.Item(d)->SourceIndex == position.Line; ++d) {
    const int32_t n = VisibleCharCount(DisplayLines.Item(d)->Text);
    if (n == 0) continue;
    if (position.Offset < start + n) return d;
    holding = d;
    start += n;
  }
  return holding;
}

}  // namespace rpv
