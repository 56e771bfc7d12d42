// Case folding for the text search: what the find dialog's "ignore case"
// treats as the same letter. Works on CP932 bytes and keeps every
// character's length, so a match position in the folded text is a match
// position in the original.
#pragma once

#include <string>
#include <string_view>

namespace rpv {

// The text with the lower-case letters of ASCII, full-width Latin, Greek
// and Cyrillic turned into their capitals. Half-width and full-width letters
// stay apart, as do kana and everything else.
std::string FoldCaseCp932(std::string_view text);

// True when `pattern` occurs in text starting on a character boundary.
bool ContainsOnBoundary(std::string_view text, std::string_view pattern);

}  // namespace rpv
