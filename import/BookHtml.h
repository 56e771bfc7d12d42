// The HTML conversion as the document's line builder runs it.
#pragma once

#include <string_view>

namespace rpv {

class TCustomBook;

// Fills the document's (empty) source lines from the whole HTML text (lines
// joined by CR LF) and refills its Title.
void ConvertHtmlInto(TCustomBook& book, std::string_view text);

}  // namespace rpv
