// Cutting one markup line into display lines: the measure along the line,
// the line-head and line-end prohibitions (kinsoku), hanging punctuation,
// English word wrap and the hanging indent of bulleted or indented
// paragraphs. Knows nothing of the document; the line builder feeds it.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "import/MarkupWalker.h"

namespace rpv {

// A set of CP932 characters given as a string of them, as the style's
// RuleCharHead and RuleCharEnd are. Membership is by whole character, so a
// single-byte "A" never matches the trail byte of "、" (81 41).
class TCharSet {
 public:
  TCharSet() = default;
  explicit TCharSet(std::string_view chars);
  // The character of len bytes (1 or 2) at text[pos].
  bool Contains(std::string_view text, size_t pos, size_t len) const {
    const auto b0 = static_cast<unsigned char>(text[pos]);
    if (len == 1) return single_[b0];
    return double_[(static_cast<size_t>(b0) << 8) | static_cast<unsigned char>(text[pos + 1])];
  }

 private:
  std::bitset<256> single_;
  std::bitset<65536> double_;
};

// What the breaker needs from the style.
struct TBreakRules {
  int32_t FontPixels = 22;  // F: a double-byte character's width
  int32_t BetweenChar = 0;  // B: follows every character
  int32_t LineLength = 0;   // W
  bool HeadRule = true;     // blnRuleCharHead
  bool EndRule = true;      // blnRuleCharEnd
  bool Hang = true;         // blnHang
  bool WordWrap = true;
  // Vertical writing with tate-chu-yoko: short ASCII runs stand upright in
  // one full cell (UprightCell), and are measured so.
  bool UprightAscii = false;
  // Vertical writing: a tate-chu-yoko run is one cell across the line.
  bool Vertical = false;
  std::string_view RuleCharHead;
  std::string_view RuleCharEnd;
};

// The English word-wrap alphabet: ASCII letters and digits and " # $ % ' ( <.
bool IsWordChar(unsigned char c);

class TLineBreaker {
 public:
  explicit TLineBreaker(const TBreakRules& rules);

  // A line of `bytes` bytes whose first character stands indentCells cells
  // in, and which ends endCells cells short of the line length, fits
  // whatever its characters are: every byte is counted as a full cell,
  // which no character exceeds.
  bool FitsUnmeasured(size_t bytes, int32_t indentCells, int32_t endCells = 0) const;

  // The end of the display line that starts at `start` (a character
  // boundary) of text, the line beginning indentCells cells in and ending
  // endCells cells short of the line length. Always beyond
  // start while start < text.size(): a line takes at least one character even
  // when none fits, so cutting a line always comes to an end. Zero-width tags
  // at the end of the text stay on the last line.
  size_t NextBreak(std::string_view text, size_t start, int32_t indentCells,
                   int32_t endCells = 0);

  // The indent, in cells, under which the continuation lines of a paragraph
  // start: after a leading list mark, or one cell less than a run of
  // ideographic spaces (plus two when a list mark follows it); 0 when that
  // would take more than half the line.
  int32_t HangingIndent(std::string_view text) const;

  // The width of a character whose first byte is b (without BetweenChar),
  // at a size step.
  int32_t CharWidth(unsigned char b, int step = 0) const;

 private:
  struct TUnit {
    size_t Pos;
    size_t Len;
    size_t End() const { return Pos + Len; }
  };

  // The visible character at or after pos, skipping tags; npos at the end.
  size_t VisibleFrom(std::string_view text, size_t pos) const;
  // e, the end of the tag span that opens at pos; a ruby group is noted.
  size_t SkipTag(size_t pos, size_t e) const;
  // Index of the last measured character that starts before pos; -1 if none.
  std::ptrdiff_t LastUnitBefore(size_t pos) const;
  bool UnitIn(std::string_view text, std::ptrdiff_t k, const TCharSet& set) const {
    const TUnit& u = units_[static_cast<size_t>(k)];
    return set.Contains(text, u.Pos, u.Len);
  }

  // The size step in force at pos of the text being cut (pos on a unit
  // boundary at or after the last cut): carried from cut to cut, read from
  // the line's start when a cut is asked for out of order.
  int StepAt(std::string_view text, size_t pos);
  // A tate-chu-yoko run whose opening tag ends at e: the end of its closing
  // tag, or 0 when it is not closed on the line (then it is ordinary text).
  // *step becomes the step after the run.
  size_t TcyEnd(std::string_view text, size_t e, int* step) const;

  size_t RubyGuard(std::string_view text, size_t start, size_t pos) const;
  size_t ApplyWordWrap(std::string_view text, size_t pos) const;
  size_t ApplyEndRule(std::string_view text, size_t pos) const;
  size_t ApplyHang(std::string_view text, size_t pos);
  size_t ApplyHeadRule(std::string_view text, size_t pos) const;

  TBreakRules rules_;
  TCharSet head_;
  TCharSet end_;
  // The visible characters of the line being cut, in order. Tags are left
  // out, so the prohibition rules look through them to the characters.
  std::vector<TUnit> units_;
  // The ruby groups walked over on this line (start, length), in no order.
  mutable std::vector<TUnit> rubies_;
  // The walker over the text being cut: its searches for closing literals
  // are remembered from line to line, so a text with many "{H\" and no (or
  // one distant) "\E}" is not searched to its end at every one of them.
  mutable TMarkupWalker walker_;
  mutable TForwardSearch tcyClose_;  // its search for a tate-chu-yoko closing
  // The size step at stepAt_ of the text being cut.
  int step_ = 0;
  size_t stepAt_ = 0;
  bool hasSteps_ = false;  // the text holds a size tag
};

}  // namespace rpv
