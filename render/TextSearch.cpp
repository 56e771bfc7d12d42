// The text search of the page class: source lines (each the display lines of
// one SourceIndex put together) without their markup are searched from the
// page on show downward or upward, and the first match gives the display
// line to show.
#include "render/TextSearch.h"

#include <algorithm>

#include "import/MbScan.h"
#include "import/MarkupWalker.h"
#include "render/BookClass.h"

namespace rpv {

namespace {

// The capital of a double-byte letter (lead, trail), as a code 0xLLTT.
unsigned FoldDoubleByte(unsigned code) {
  // Full-width Latin: ａ..ｚ 8281..829A -> Ａ..Ｚ 8260..8279.
  if (code >= 0x8281 && code <= 0x829A) return code - 0x21;
  // Greek: α..ω 83BF..83D6 -> Α..Ω 839F..83B6.
  if (code >= 0x83BF && code <= 0x83D6) return code - 0x20;
  // Cyrillic: а..н 8470..847E and о..я 8480..8491 (847F is not used) ->
  // А..Я 8440..8460.
  if (code >= 0x8470 && code <= 0x847E) return code - 0x30;
  if (code >= 0x8480 && code <= 0x8491) return code - 0x31;
  return code;
}

}  // namespace

std::string FoldCaseCp932(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size();) {
    const size_t len = mb::Len(out, i);
    if (len == 1) {
      if (out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 'a' + 'A');
    } else {
      const unsigned code = (static_cast<unsigned char>(out[i]) << 8) | static_cast<unsigned char>(out[i + 1]);
      const unsigned folded = FoldDoubleByte(code);
      out[i] = static_cast<char>(folded >> 8);
      out[i + 1] = static_cast<char>(folded & 0xFF);
    }
    i += len;
  }
  return out;
}

bool ContainsOnBoundary(std::string_view text, std::string_view pattern) {
  return mb::Find(text, pattern) != std::string_view::npos;
}

namespace {

// A source line as the display lines hold it: cutting keeps every byte of a
// source line's text, so its display lines put together give it. Lines
// without text (a picture's room, page-break padding) add nothing and are
// stepped over; a line split at a mid-line 地付き comes back whole, as
// reading positions count it. Display lines with text are in SourceIndex
// order.
struct TSourceRun {
  int32_t First = -1;  // its first display line with text; -1: there is none
  int32_t Last = -1;   // its last display line with text
  int32_t SourceIndex = 0;
  bool Found() const { return First >= 0; }
};

class TSourceRuns {
 public:
  explicit TSourceRuns(const TLines& lines) : lines_(lines) {}
  int32_t Count() const { return lines_.Count(); }
  bool Empty(int32_t d) const { return lines_.Item(d)->Text.empty(); }
  int32_t SourceIndex(int32_t d) const { return lines_.Item(d)->SourceIndex; }
  // The run of the first line with text at or after d.
  TSourceRun From(int32_t d) const {
    while (d < Count() && Empty(d)) ++d;
    return d < Count() ? Around(d) : TSourceRun{};
  }
  // The run of the last line with text before d.
  TSourceRun Before(int32_t d) const {
    --d;
    while (d >= 0 && Empty(d)) --d;
    return d >= 0 ? Around(d) : TSourceRun{};
  }
  std::string Text(const TSourceRun& run) const {
    std::string text;
    for (int32_t d = run.First; d <= run.Last; ++d) text += lines_.Item(d)->Text.view();
    return text;
  }

 private:
  // The run holding line d, which has text.
  TSourceRun Around(int32_t d) const {
    TSourceRun run{d, d, SourceIndex(d)};
    for (int32_t k = d - 1; k >= 0 && (Empty(k) || SourceIndex(k) == run.SourceIndex); --k) {
      if (!Empty(k)) run.First = k;
    }
    for (int32_t k = d + 1; k < Count() && (Empty(k) || SourceIndex(k) == run.SourceIndex); ++k) {
      if (!Empty(k)) run.Last = k;
    }
    return run;
  }

  const TLines& lines_;
};

}  // namespace

int32_t TBookClass::FindText(std::string_view pattern, int32_t topLine, int options) const {
  const int32_t count = DisplayLines.Count();
  if (pattern.empty() || count == 0) return -1;
  const TSourceRuns runs(DisplayLines);
  // The SourceIndex of a display line; the blank lines that pictures and
  // page breaks insert carry 0, so they stand for the line before them.
  auto sourceIndexAt = [this](int32_t d) {
    while (d > 0) {
      const TLine& line = *DisplayLines.Item(d);
      if (line.SourceIndex != 0 || !line.Text.empty()) return line.SourceIndex;
      --d;
    }
    return DisplayLines.Item(0)->SourceIndex;
  };
  // Positions are mapped through SourceIndex, which blank-line removal and
  // annotations keep apart from a line's place in the table.
  TSourceRun run;
  const bool down = (options & kFindDown) != 0;
  if (down) {
    const int32_t perPage = LinesPerPage();
    if (topLine < 0 || topLine >= count - perPage) return -1;
    const int32_t after = sourceIndexAt(topLine + perPage);
    int32_t d = 0;
    while (d < count && (runs.Empty(d) || runs.SourceIndex(d) <= after)) ++d;
    run = runs.From(d);
  } else {
    if (topLine < 0 || topLine >= count) return -1;
    const int32_t before = sourceIndexAt(topLine);
    int32_t last = -1;
    for (int32_t d = 0; d < count; ++d) {
      if (runs.Empty(d)) continue;
      if (runs.SourceIndex(d) >= before) break;
      last = d;
    }
    // With nothing before the page the search starts at the first line.
    run = last >= 0 ? runs.From(last) : runs.From(0);
  }
  const bool matchCase = (options & kFindMatchCase) != 0;
  const std::string wanted = matchCase ? std::string(pattern) : FoldCaseCp932(pattern);
  for (; run.Found(); run = down ? runs.From(run.Last + 1) : runs.Before(run.First)) {
    std::string text = VisibleText(runs.Text(run));
    if (!matchCase) text = FoldCaseCp932(text);
    if (!ContainsOnBoundary(text, wanted)) continue;
    for (int32_t d = 0; d < count; ++d)
      if (DisplayLines.Item(d)->SourceIndex >= run.SourceIndex) return d;
    return -1;
  }
  return -1;
}

namespace {

// Byte position of the character with the given index (the end when the
// text is shorter).
size_t ByteOfChar(std::string_view text, int32_t index) {
  size_t i = 0;
  for (int32_t k = 0; k < index && i < text.size(); ++k) i += mb::Len(text, i);
  return std::min(i, text.size());
}

int32_t CharsBefore(std::string_view text, size_t byte) {
  return static_cast<int32_t>(mb::Count(text.substr(0, byte)));
}

}  // namespace

std::optional<TTextMatch> TBookClass::FindMatch(std::string_view pattern,
                                                const TReadingPosition& from, int options) const {
  const int32_t count = DisplayLines.Count();
  if (pattern.empty() || count == 0) return std::nullopt;
  const TSourceRuns runs(DisplayLines);
  const bool matchCase = (options & kFindMatchCase) != 0;
  const std::string wanted = matchCase ? std::string(pattern) : FoldCaseCp932(pattern);
  const auto length = static_cast<int32_t>(mb::Count(pattern));
  auto visible = [&](const TSourceRun& run) {
    std::string text = VisibleText(runs.Text(run));
    return matchCase ? text : FoldCaseCp932(text);
  };
  if (options & kFindDown) {
    int32_t d = 0;
    while (d < count && (runs.Empty(d) || runs.SourceIndex(d) < from.Line)) ++d;
    for (TSourceRun run = runs.From(d); run.Found(); run = runs.From(run.Last + 1)) {
      const std::string text = visible(run);
      const size_t start = run.SourceIndex == from.Line ? ByteOfChar(text, from.Offset) : 0;
      const size_t at = mb::Find(text, wanted, start);
      if (at != std::string_view::npos)
        return TTextMatch{{run.SourceIndex, CharsBefore(text, at)}, length};
    }
    return std::nullopt;
  }
  for (TSourceRun run = runs.Before(count); run.Found(); run = runs.Before(run.First)) {
    if (run.SourceIndex > from.Line) continue;
    const std::string text = visible(run);
    // Only matches that start before the position count.
    const size_t limit = run.SourceIndex == from.Line ? ByteOfChar(text, from.Offset) : text.size();
    size_t last = std::string_view::npos;
    for (size_t at = mb::Find(text, wanted); at != std::string_view::npos && at < limit;
         at = mb::Find(text, wanted, at + mb::Len(text, at)))
      last = at;
    if (last != std::string_view::npos)
      return TTextMatch{{run.SourceIndex, CharsBefore(text, last)}, length};
  }
  return std::nullopt;
}

int32_t TBookClass::AnchorLine(std::string_view name) const {
  if (name.empty()) return -1;  // no anchor has an empty name
  for (const TAnchor& anchor : Anchors) {
    if (anchor.Name == name) return anchor.SourceIndex;
  }
  return -1;
}

}  // namespace rpv
