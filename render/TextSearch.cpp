// The text search of the page class: source lines without their markup are
// searched from the page on show downward or upward, and the first match
// gives the display line to show.
#include "render/TextSearch.h"

#include <algorithm>

#include "import/MbScan.h"
#include "import/Tools.h"
#include "import/DisplayMarkup.h"
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

int32_t TBookClass::FindText(std::string_view pattern, int32_t topLine, int options) const {
  const int32_t count = DisplayLines.Count();
  const int32_t sources = SourceLines.Count();
  if (pattern.empty() || sources == 0) return -1;
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
  // Source lines are table entries; positions are mapped through their
  // SourceIndex, which blank-line removal and annotations keep apart from the
  // entry's place in the table.
  int32_t from;
  int32_t step;
  if (options & kFindDown) {
    const int32_t perPage = LinesPerPage();
    if (topLine < 0 || topLine >= count - perPage) return -1;
    const int32_t after = sourceIndexAt(topLine + perPage);
    from = 0;
    while (from < sources && SourceLines.Item(from)->SourceIndex <= after) ++from;
    step = 1;
  } else {
    if (topLine < 0 || topLine >= count) return -1;
    const int32_t before = sourceIndexAt(topLine);
    from = -1;
    for (int32_t k = 0; k < sources && SourceLines.Item(k)->SourceIndex < before; ++k) from = k;
    if (from < 0) from = 0;
    step = -1;
  }
  const bool matchCase = (options & kFindMatchCase) != 0;
  const std::string wanted = matchCase ? std::string(pattern) : FoldCaseCp932(pattern);
  for (int32_t k = from; k >= 0 && k < sources; k += step) {
    const TLine& line = *SourceLines.Item(k);
    std::string text = StripTags(line.Text, tag::kStart, tag::kEnd);
    if (!matchCase) text = FoldCaseCp932(text);
    if (!ContainsOnBoundary(text, wanted)) continue;
    for (int32_t d = 0; d < count; ++d)
      if (DisplayLines.Item(d)->SourceIndex >= line.SourceIndex) return d;
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
  const int32_t sources = SourceLines.Count();
  if (pattern.empty() || sources == 0) return std::nullopt;
  const bool matchCase = (options & kFindMatchCase) != 0;
  const std::string wanted = matchCase ? std::string(pattern) : FoldCaseCp932(pattern);
  const auto length = static_cast<int32_t>(mb::Count(pattern));
  auto visible = [&](const TLine& line) {
    std::string text = VisibleText(line.Text);
    return matchCase ? text : FoldCaseCp932(text);
  };
  if (options & kFindDown) {
    for (int32_t k = 0; k < sources; ++k) {
      const TLine& line = *SourceLines.Item(k);
      if (line.SourceIndex < from.Line) continue;
      const std::string text = visible(line);
      const size_t start = line.SourceIndex == from.Line ? ByteOfChar(text, from.Offset) : 0;
      const size_t at = mb::Find(text, wanted, start);
      if (at != std::string_view::npos)
        return TTextMatch{{line.SourceIndex, CharsBefore(text, at)}, length};
    }
    return std::nullopt;
  }
  for (int32_t k = sources - 1; k >= 0; --k) {
    const TLine& line = *SourceLines.Item(k);
    if (line.SourceIndex > from.Line) continue;
    const std::string text = visible(line);
    // Only matches that start before the position count.
    const size_t limit = line.SourceIndex == from.Line ? ByteOfChar(text, from.Offset) : text.size();
    size_t last = std::string_view::npos;
    for (size_t at = mb::Find(text, wanted); at != std::string_view::npos && at < limit;
         at = mb::Find(text, wanted, at + mb::Len(text, at)))
      last = at;
    if (last != std::string_view::npos)
      return TTextMatch{{line.SourceIndex, CharsBefore(text, last)}, length};
  }
  return std::nullopt;
}

int32_t TBookClass::AnchorLine(std::string_view name) const {
  if (name.empty()) return -1;  // every line without an anchor would match
  for (int32_t d = 0; d < DisplayLines.Count(); ++d) {
    const TLine& line = *DisplayLines.Item(d);
    if (line.Anchor == name) return line.SourceIndex;
  }
  return -1;
}

}  // namespace rpv
