// The field rules of one bm.csv line: splitting a line into fields, quoting a
// field for writing, and the two field conversions that can fail.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rpv {

// Length of the character at s[i]: 2 for a lead byte followed by a valid
// trail byte, else 1. A stray lead byte never swallows the byte after it
// when that byte could not be a trail byte (a quote, a comma, a blank).
size_t SjisCharLen(std::string_view s, size_t i);

// Splits one line (without its line end) into fields: quoted fields with
// doubled quotes, unquoted fields ending at a blank or comma, blanks around
// separators skipped, a comma as the very last byte adding an empty field.
std::vector<std::string> SplitBookMarkLine(std::string_view line);

// The field in double quotes with every quote doubled. A line feed becomes a
// space, since a line feed always ends a bm.csv line.
std::string QuoteBookMarkField(std::string_view text);

// A whole decimal number with an optional sign that fits 32 bits.
std::optional<int32_t> ParseWholeNumber(std::string_view text);
// Any decimal number (zero is false, anything else true), or True / False in
// any letter case.
std::optional<bool> ParseBooleanText(std::string_view text);

}  // namespace rpv
