// Reading attributes of HTML tags: the converter's attribute reader and the
// BODY tag readers the page composer uses for page colours and background.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "import/Colours.h"

namespace rpv {

// Value of attribute `name` (letter case ignored) of the tag whose "<" is at
// text[tagPos]; empty when the tag has no such attribute or no value for it.
// The tag ends at the first ">" after tagPos (or at the end of the text).
// Other attributes are stepped over as HTML spells them (quoted or bare
// values), so a name inside another attribute's value or a longer name
// ("hreflang" for "href") is never taken. The value itself: one opening
// double or single quote is skipped, then everything up to the next quote of
// either kind, ">" or the end, so a bare value runs on over later attributes
// (<p align=center class=x> has the align value "center class=x").
std::string ReadTagAttribute(std::string_view text, size_t tagPos, std::string_view name);

// Value of `attribute` of the first tag named `tag` (both compared without
// regard to case, e.g. "BODY", "BGCOLOR"), read as ReadTagAttribute reads it;
// empty when there is no such tag or attribute.
std::string GetTagAttribute(std::string_view tag, std::string_view attribute, std::string_view text);

// The attribute's "#rrggbb" value as a colour; kColorNone for any other value.
TColor GetTagColour(std::string_view tag, std::string_view attribute, std::string_view text);

// What the BODY tag of an HTML text sets: text and background colours
// (kColorNone when not given) and the raw BACKGROUND value.
struct THtmlBody {
  TColor Text = kColorNone;
  TColor BgColor = kColorNone;
  std::string Background;
};
THtmlBody ReadHtmlBody(std::string_view text);

// A file named in an HTML document (img src, body background) as a path:
// an absolute name that exists is taken as it is; anything else is taken
// relative to the document's folder fileDir ("." and ".." resolved). With an
// empty fileDir (a document without a file) the value is returned unchanged.
std::string ResolveHtmlFile(std::string_view fileDir, std::string_view value);

// The background picture of a BODY tag: the resolved path when that file
// exists and is a BMP or JPEG file by its extension, else empty (the caller
// then keeps the style's own background).
std::string BodyBackgroundPath(std::string_view fileDir, std::string_view value);

// The file name part of a path (after the last "/" or "\" that is not the
// trail byte of a double-byte character).
std::string FileNamePart(std::string_view path);

}  // namespace rpv
