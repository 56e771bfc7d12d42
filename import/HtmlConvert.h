// HTML into source lines of display markup. The page is read as a book, not
// laid out: text outside tags becomes line text, block tags start lines, a
// fixed set of inline tags becomes markup, images and links become their
// tags, and the title is collected apart.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rpv {

class TInfo;
class TLines;

// A named anchor ("a name" or "area name") and the source line it stands on.
// The document keeps them apart from its lines: a few lines of a few books
// have one, and a name field on every line would cost a pointer each.
struct TAnchor {
  std::string Name;
  int32_t SourceIndex = 0;
};

// Converts the whole file text (lines joined by CR LF) in one pass.
//   style:     HtmlTag bits 4 (IMG) and 8 (FONT) decide whether those tags
//              are honoured; Test shows unrecognised tags as text; BackColor,
//              FontColor and HtmlTag bit 2 keep a font colour from matching
//              the page background; FontPixels/RubyPixels shape ruby groups.
//   fileDir:   the document's folder (with its trailing separator), against
//              which relative image paths are resolved.
//   fileName:  the document's name without folder, put in front of links to
//              fragments ("#name").
// sourceLines is cleared and filled: each line's SourceIndex is its own
// index, Align the pending alignment, Indent 0. anchors is cleared and gets
// every anchor name in document order with the line it is on. title is
// cleared and receives the text of the title element.
// The line builder then runs the same steps as for plain text (ruby marks,
// annotations, PrepareLine, wrapping), places images and balances style tags.
void ConvertHtml(const TInfo& style, std::string_view fileDir, std::string_view fileName,
                 std::string_view text, TLines& sourceLines, std::vector<TAnchor>& anchors,
                 std::string& title);

}  // namespace rpv
