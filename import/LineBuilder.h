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
class TLines;

// The breaker's measures and rules from a style.
TBreakRules BreakRulesOf(const TInfo& style);

// Appends the display lines of source line i, whose (prepared) text is
// given. Each display line copies SourceIndex, Align, Indent and Anchor from
// the source line; once the line needs a second display line, a source line
// without indent takes the hanging indent of its text.
void WrapLine(TCustomBook& book, TLineBreaker& breaker, std::string_view text, int32_t i);

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
