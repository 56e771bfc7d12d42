// E-text character notes: a character the e-text's Shift_JIS could not hold
// is written as "※" and a note naming it, "※［＃「木＋靈」、第3水準1-86-29］",
// "※［＃「口＋世」、U+546D、ページ数-行数］", "※［＃二の字点、1-2-22］". A note
// that names a code (a JIS X 0213 plane-row-cell, 第3水準 being plane 1
// and 第4水準 plane 2, or a Unicode code point) becomes the character
// itself, through the user-defined-area table when CP932 lacks it. Runs on
// each source line before ruby marks are read, so the character joins a
// ruby base like any other kanji.
//
// Stays as written: a note without a code, a code that names nothing, a
// character the table has no room for, and the characters the notation
// itself uses (《 》 ｜), which would otherwise be read as ruby marks.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rpv {

// The line (CP932) with its character notes replaced; nullopt when nothing
// was replaced (most lines: they are not copied).
std::optional<std::string> ReplaceCharacterNotes(std::string_view line);

// The CP932 form of the character that the inside of a note (the text
// between "［＃" and "］") names, or empty when it names none.
std::string NotedCharacter(std::string_view inside);

}  // namespace rpv
