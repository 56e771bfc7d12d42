// The steps of layout that belong to line building itself: cutting one
// source line into display lines, blank-line removal and the image pass.
// The layout job (LayoutJob.h) chains them with the converters.
#pragma once

#include <cstdint>
#include <string_view>

#include "import/LineBreaker.h"

namespace rpv {

class TCustomBook;
class TInfo;
class TLine;
class TLines;

// The breaker's measures and rules from a style.
TBreakRules BreakRulesOf(const TInfo& style);

// Appends the display lines of `source`, whose (prepared) text is given, to
// `out`. Each display line copies SourceIndex, Align, Indent and EndGap
// from the source line, and is cut EndGap cells short of the line length;
// when the text given is the source line's own, the display texts are
// slices of it (no copy); once the line needs a second display line, the
// source line takes its WrapIndent when it has one, else, when it has no
// indent, the hanging indent of its text. Returns the number of lines
// appended.
int32_t WrapLine(TLine& source, TLineBreaker& breaker, TLines& out, std::string_view text);

// Removes blank source lines as the "空行を削除" option does: of every run of
// empty lines the first, third, fifth ... go; the first line always stays.
void RemoveBlankLines(TLines& lines);

// The same rule one line at a time: whether the next line stays.
class TBlankLineFilter {
 public:
  bool Keeps(const TLine& line);

 private:
  bool first_ = true;
  bool keepNext_ = false;  // the line after a removed one stays unexamined
};

// The image pass over the display lines: every picture tag gets the size at
// which it is drawn, scaled down to fit the text area, and empty display
// lines after it reserve the room it takes; a picture that does not fit in
// what is left of a column moves to the top of the next column. A picture
// that cannot be loaded leaves its file name in square brackets.
void PlaceImages(TCustomBook& book);

// The same pass one display line at a time: the line and the blank lines
// around it are appended to `out`, which may be emptied between calls.
class TImagePass {
 public:
  explicit TImagePass(const TInfo& style) : style_(style) {}
  void Push(TLine&& line, TLines& out);

 private:
  const TInfo& style_;
  int64_t written_ = 0;  // the index the next line gets in the whole table
};

}  // namespace rpv
