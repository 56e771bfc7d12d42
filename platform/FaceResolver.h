// Face names to font files, through fontconfig. Names are CP932 as the style
// stores them; a leading "@" (the vertical variant) is not part of the face.
// The well-known Windows Japanese faces map to the matching IPA face, and any
// face that is missing or does not cover Japanese falls back to an installed
// Japanese face, as the Windows font mapper does for the Shift_JIS charset.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rpv {

struct TResolvedFace {
  std::string File;    // native path of the font file; empty when no font is installed
  int Index = 0;       // face index inside a collection
  std::string Family;  // UTF-8 family name as fontconfig reports it
};

// Splits "@Face" into the face and the vertical flag.
std::string_view StripVerticalMark(std::string_view cp932Face, bool* vertical);

// The family to ask fontconfig for: the IPA stand-in of a Windows Japanese
// face, or the name itself (UTF-8 in, UTF-8 out).
std::string MapWindowsFaceName(std::string_view utf8Face);

// Resolves a CP932 face name (without "@") for the given style.
TResolvedFace ResolveFace(std::string_view cp932Face, bool bold, bool italic);

// An installed outline face that has the character cp, for text the chosen
// face lacks: Japanese faces and the given style first. File is empty when
// no face has it.
TResolvedFace ResolveFaceWithChar(char32_t cp, bool bold, bool italic);

// The installed screen fonts as the style editor lists them: every family
// but FixedSys, and for each family with vertical glyph forms (OpenType
// "vert" or "vrt2") also "@" + its name. CP932, sorted; families whose names
// have no CP932 form are left out.
std::vector<std::string> InstalledScreenFonts();

}  // namespace rpv
