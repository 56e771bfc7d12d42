// The steps of TCustomBook::BuildLines that belong to line building itself:
// cutting one source line into display lines, blank-line removal and the
// image pass. BuildLines (LineBuilder.cpp) chains them with the converters.
#pragma once

#include <cstdint>
#include <string_view>

#include "import/LineBreaker.h"

namespace rpv {

class TCustomBook;
class TInfo;
class TLine;
class TLines;

// Writes a line table from its start again, reusing the line objects and
// text buffers that the previous build left, so a rebuild after a resize or a
// style change allocates little. Each line handed out is reset to empty;
// Finish drops the lines left over.
class TLineWriter {
 public:
  explicit TLineWriter(TLines& lines) : lines_(lines) {}
  TLine& Next();
  void Finish();

 private:
  TLines& lines_;
  int32_t count_ = 0;
};

// The breaker's measures and rules from a style.
TBreakRules BreakRulesOf(const TInfo& style);

// Appends the display lines of source line i, whose (prepared) text is
// given, to the display lines being written. Each display line copies SourceIndex, Align, Indent and Anchor from
// the source line; once the line needs a second display line, a source line
// without indent takes the hanging indent of its text.
void WrapLine(TCustomBook& book, TLineBreaker& breaker, TLineWriter& display,
              std::string_view text, int32_t i);

// Removes blank source lines as the "空行を削除" option does: of every run of
// empty lines the first, third, fifth ... go; the first line always stays.
void RemoveBlankLines(TLines& lines);

// The image pass over the display lines: every picture tag gets the size at
// which it is drawn, scaled down to fit the text area, and empty display
// lines after it reserve the room it takes; a picture that does not fit in
// what is left of a column moves to the top of the next column. A picture
// that cannot be loaded leaves its file name in square brackets.
void PlaceImages(TCustomBook& book);

}  // namespace rpv
