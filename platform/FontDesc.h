// A logical font description, the stand-in for a Windows LOGFONT: what the
// document builds from its style and what the canvas turns into glyphs.
#pragma once

#include <string>

namespace rpv {

struct TFontDesc {
  int Height = 16;          // cell height in pixels (ascent + descent)
  int Weight = 400;         // 400 regular, 700 bold
  bool Italic = false;
  bool StrikeOut = false;
  int Escapement = 0;       // tenths of a degree: 0, 900, 1800, 2700
  std::string FaceName;     // CP932; a leading "@" selects the vertical variant

  bool operator==(const TFontDesc&) const = default;
};

}  // namespace rpv
