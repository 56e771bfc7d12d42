// The style record: every layout and typography setting of one named style
// (one section of info.ini) plus the page measures derived from it for a
// given page size and resolution. The line and link tables live beside it in
// render/cbcTables.h and are included here for callers that want both.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "render/cbcTables.h"

namespace rpv {

class TIniFile;

// Mask values of the HtmlTag bit set.
inline constexpr int32_t kHtmlTagAnalyse = 1;  // "HTMLタグの解析"
inline constexpr int32_t kHtmlTagBody = 2;     // "BODYタグ"
inline constexpr int32_t kHtmlTagImg = 4;      // "IMGタグ"
inline constexpr int32_t kHtmlTagFont = 8;     // "FONTタグ"

// Mask values of the Blue bit set (ruby options).
inline constexpr int32_t kRubyOn = 1;       // "ルビをふる"
inline constexpr int32_t kRubyCentre = 2;   // "ルビを中央揃え"
inline constexpr int32_t kRubyReserve = 4;  // kept as read; the style editor's line
                                            // count reserves ruby room for it

// Values of Direction.
inline constexpr uint8_t kDirectionHorizontal = 0;   // "横組み"
inline constexpr uint8_t kDirectionVertical = 27;    // "縦組み"

// Built-in defaults of the string settings, as CP932 bytes.
namespace style_default {
// "@ＭＳ ゴシック"
inline constexpr std::string_view FontName =
    "@\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E";
// "、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}」、･ｰﾞﾟ"
inline constexpr std::string_view RuleCharHead =
    "\x81\x41\x81\x42\x81\x43\x81\x44\x81\x45\x81\x48\x81\x49\x81\x4A\x81\x4B"
    "\x81\x52\x81\x53\x81\x54\x81\x55\x81\x58\x81\x5B\x81\x6A\x81\x6E\x81\x70"
    "\x81\x76\x81\x78!),.:;?]}\x81\x76\x81\x41\xA5\xB0\xDE\xDF";
// "（［｛「『([{「"
inline constexpr std::string_view RuleCharEnd =
    "\x81\x69\x81\x6D\x81\x6F\x81\x75\x81\x77([{\x81\x75";
// "-;=;―;_/;~"
inline constexpr std::string_view HR = "-;=;\x81\x5C;_/;~";
// "：；＜＞≪≫－“”‘’≒"
inline constexpr std::string_view strTateYoko =
    "\x81\x46\x81\x47\x81\x83\x81\x84\x81\xE1\x81\xE2\x81\x7C\x81\x67\x81\x68"
    "\x81\x65\x81\x66\x81\xE0";
inline constexpr std::string_view strHeader = "%f";
inline constexpr std::string_view strFooter = "%p/%P";
}  // namespace style_default

// Splits a ";"-separated pattern list; empty items are dropped (an empty
// pattern would match every line). ";" is never a CP932 trail byte, so a
// byte search is safe.
inline std::vector<std::string> SplitPatterns(std::string_view text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(';', start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) out.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

// Joins patterns with ";".
inline std::string JoinPatterns(const std::vector<std::string>& patterns) {
  std::string out;
  for (size_t i = 0; i < patterns.size(); ++i) {
    if (i > 0) out += ';';
    out += patterns[i];
  }
  return out;
}

class TInfo {
 public:
  // Stored settings, named after their INI keys. A new record holds the
  // built-in defaults, so it is usable before any ReadStyle. Colours are
  // Windows colour values (red in the low byte).
  int32_t PageMarginLeft = 10;
  int32_t PageMarginTop = 10;
  int32_t PageMarginRight = 0;
  int32_t PageMarginBottom = 0;
  int32_t ColumnSpace = 0;
  uint8_t ColumnCount = 1;
  int32_t Spacing = 25;        // gap between adjacent lines, px
  int32_t BetweenChar = 0;     // extra gap after every character, px
  int32_t FontWeight = 400;
  int32_t BackColor = 0;
  bool blnBackGround = false;
  std::string strBackGround;
  std::string FontName{style_default::FontName};
  int32_t FontSize = 16;       // points
  int32_t FontColor = 0xFFFFFF;
  uint8_t AntiAliasing = 1;    // supersampling factor of body text, 1 or 2
  std::string RFontName{style_default::FontName};
  int32_t RFontSize = 9;       // points
  int32_t RFontColor = 0xFFFFFF;
  uint8_t RAntiAliasing = 2;
  int32_t LinkColor = 0xFFFF00;
  uint8_t Direction = kDirectionVertical;
  std::string RuleCharHead{style_default::RuleCharHead};
  std::string RuleCharEnd{style_default::RuleCharEnd};
  bool blnRuleCharHead = true;
  bool blnRuleCharEnd = true;
  bool blnHang = true;
  bool WordWrap = true;
  uint8_t Tab = 8;
  std::vector<std::string> HR = SplitPatterns(style_default::HR);
  int32_t HtmlTag = kHtmlTagAnalyse | kHtmlTagImg;
  int32_t Blue = kRubyOn | kRubyCentre | kRubyReserve;
  bool blnTateYoko = true;
  std::string strTateYoko{style_default::strTateYoko};
  uint8_t bytHeader = 1;       // 0 none, 1 left, 2 centre, 3 right
  std::string strHeader{style_default::strHeader};
  uint8_t bytFooter = 2;
  std::string strFooter{style_default::strFooter};
  bool Test = false;           // read, never written

  // Run-time values, never stored. A dpi that is not positive counts as 96.
  int32_t ScreenDpi = 96;
  int32_t PageWidth = 0;
  int32_t PageHeight = 0;

  // Reads every setting of the section; a missing key, section or file, or a
  // value that is not valid for its key, gives the built-in default. When the
  // file does not exist it is then created holding this section.
  void ReadStyle(std::string_view fileName, std::string_view section);
  // Writes every setting but Test to the section, leaving other keys and
  // sections alone. False when the file could not be written.
  bool WriteStyle(std::string_view fileName, std::string_view section) const;
  // The same over an already opened INI file (nothing is written to disk
  // until the caller updates the file).
  void ReadStyle(const TIniFile& ini, std::string_view section);
  void WriteStyle(TIniFile& ini, std::string_view section) const;

  // Bit helpers; `bit` is a mask value (1, 2, 4, 8).
  bool HasHtmlTag(int32_t bit) const { return (HtmlTag & bit) == bit; }
  void SetHtmlTag(int32_t bit, bool on) { HtmlTag = on ? (HtmlTag | bit) : (HtmlTag & ~bit); }
  bool HasRubyFlag(int32_t bit) const { return (Blue & bit) == bit; }
  void SetRubyFlag(int32_t bit, bool on) { Blue = on ? (Blue | bit) : (Blue & ~bit); }

  bool IsVertical() const { return Direction != kDirectionHorizontal; }

  bool operator==(const TInfo&) const = default;

  // Derived measures, in page pixels, computed afresh on every call. They
  // never divide by zero: the column count counts as at least 1, and
  // FontPixels, RubyPixels, LinePitch and LinesPerColumn are at least 1.
  int32_t FontPixels() const { return PointsToPixels(FontSize); }
  int32_t RubyPixels() const { return PointsToPixels(RFontSize); }
  int32_t LinePitch() const { return Clamp32(std::max<int64_t>(1, int64_t{FontPixels()} + Spacing)); }
  int32_t HeaderHeight() const { return bytHeader != 0 ? Clamp32(int64_t{3} * FontPixels() / 2) : 0; }
  int32_t FooterHeight() const { return bytFooter != 0 ? Clamp32(int64_t{3} * FontPixels() / 2) : 0; }
  // Room above the lines of a horizontal page for the ruby of the first line.
  int32_t RubyBandHeight() const { return !IsVertical() && HasRubyFlag(kRubyOn) ? RubyPixels() : 0; }
  // Horizontal: the cell a hanging character takes past the line end.
  // Vertical: the room for the ruby of the outermost line.
  int32_t WidthReserve() const;
  // The cell a hanging character takes below a vertical column.
  int32_t HangReserve() const;
  // Horizontal: the width of one column. Vertical: the width across which
  // the lines of a page are stacked.
  int32_t TextAreaWidth() const;
  // Horizontal: the height over which lines are stacked. Vertical: the
  // height of one column (vertical columns lie one above the other).
  int32_t TextAreaHeight() const;
  int32_t LinesPerColumn() const;
  // The length in pixels available to one line.
  int32_t LineLength() const { return IsVertical() ? TextAreaHeight() : TextAreaWidth(); }
  // Full-width characters that fit one line (0 when a character would not
  // advance the pen at all).
  int32_t CharsPerLine() const;
  // ColumnCount as the measures use it (at least 1).
  int32_t Columns() const { return ColumnCount > 0 ? ColumnCount : 1; }

 private:
  static int32_t Clamp32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
  }
  // ⌈points × dpi / 72⌉, at least 1.
  int32_t PointsToPixels(int32_t points) const {
    const int64_t dpi = ScreenDpi > 0 ? ScreenDpi : 96;
    const int64_t n = int64_t{points} * dpi;
    const int64_t q = n / 72 + ((n % 72 > 0) ? 1 : 0);
    return Clamp32(std::max<int64_t>(1, q));
  }
};

inline int32_t TInfo::WidthReserve() const {
  if (IsVertical()) return HasRubyFlag(kRubyOn) ? RubyPixels() : 0;
  return blnHang ? Clamp32(int64_t{FontPixels()} + BetweenChar) : 0;
}

inline int32_t TInfo::HangReserve() const {
  return Direction == kDirectionVertical && blnHang ? Clamp32(int64_t{FontPixels()} + BetweenChar) : 0;
}

inline int32_t TInfo::TextAreaWidth() const {
  const int64_t across = int64_t{PageWidth} - PageMarginLeft - PageMarginRight;
  if (IsVertical()) return Clamp32(across - WidthReserve());
  const int64_t k = Columns();
  return Clamp32((across - (k - 1) * ColumnSpace) / k - WidthReserve());
}

inline int32_t TInfo::TextAreaHeight() const {
  const int64_t down = int64_t{PageHeight} - PageMarginTop - PageMarginBottom - HeaderHeight() -
                       FooterHeight();
  if (!IsVertical()) return Clamp32(down - RubyBandHeight());
  const int64_t k = Columns();
  return Clamp32((down - (k - 1) * ColumnSpace) / k - HangReserve());
}

inline int32_t TInfo::LinesPerColumn() const {
  // A page too small for one line still shows one, so that page arithmetic
  // (pages = lines / LinesPerColumn / ColumnCount) stays defined.
  const int64_t extent = IsVertical() ? TextAreaWidth() : TextAreaHeight();
  return Clamp32(std::max<int64_t>(1, (extent + Spacing) / LinePitch()));
}

inline int32_t TInfo::CharsPerLine() const {
  const int64_t step = int64_t{FontPixels()} + BetweenChar;
  if (step <= 0) return 0;
  return Clamp32(std::max<int64_t>(0, (int64_t{LineLength()} + BetweenChar) / step));
}

}  // namespace rpv
