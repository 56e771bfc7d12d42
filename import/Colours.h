// Colour values and their text forms. A colour is a Windows colour value:
// 32 bits, red in the low byte, then green, then blue, high byte zero.
// Its text form is a standard colour name ("clWhite") when one exists, else
// "$" followed by eight hexadecimal digits (00, blue, green, red). The style
// file stores colours as signed decimals; the text forms are used inside
// display markup (colour tags) and by HTML colour attributes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rpv {

using TColor = std::int32_t;

// "No colour": what an HTML colour reader returns when the attribute is
// missing or unreadable.
inline constexpr TColor kColorNone = 0x1FFFFFFF;

// The standard name of the colour ("clBlack", "clMoneyGreen", ...) or
// "$" + eight upper-case hex digits.
std::string ColorToString(TColor colour);

// Reads a colour name (letter case ignored), a "$" or "0x" hexadecimal value
// or a signed decimal. Anything else (empty, junk, more than 32 bits) gives
// nullopt: callers decide the fallback.
std::optional<TColor> StringToColor(std::string_view text);

// An HTML "#rrggbb" value as "$00bbggrr" (the digit pairs reordered, their
// letter case kept). Empty when the value is not exactly "#" and six hex
// digits.
std::string HtmlHexToColourText(std::string_view value);

}  // namespace rpv
