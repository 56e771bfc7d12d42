// The display markup: CP932 lines with embedded tags. Every tag begins with
// "{H\"; where it ends is the walker's rule (import/MarkupWalker.h): the
// first "\E}" after it, a ruby group's own "{B\E}", an image's size suffix.
// There is no escaping. The converters (TextConvert, HtmlConvert)
// write this form, the line builder measures and cuts it, the column
// renderer interprets it. docs/markup.md lists the grammar.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace rpv {

class TLine;
class TLines;
class TMarkupWalker;
class TForwardSearch;

namespace tag {

inline constexpr std::string_view kStart = "{H\\";
inline constexpr std::string_view kEnd = "\\E}";

// Ruby group: kRubyOpen reading kRubyMid base kRubyClose, then the base again
// as ordinary text (that copy is what is drawn and measured).
inline constexpr std::string_view kRubyOpen = "{H\\B}";
inline constexpr std::string_view kRubyMid = "{B_M}";
inline constexpr std::string_view kRubyClose = "{B\\E}";
// The same group with its reading on the other side (left in vertical
// writing, below in horizontal): left ruby, left notes, left emphasis marks.
inline constexpr std::string_view kLeftRubyOpen = "{H\\BL}";
// The room of a half-width space between the characters of a base spread
// under a long reading: measured and drawn as a space, but no character of
// the text (search, positions and copies do not see it).
inline constexpr std::string_view kSpreadSpace = "{H\\W\\E}";
// Side note, drawn opposite the ruby, from the character after the tag.
inline constexpr std::string_view kNoteOpen = "{H\\O}";
inline constexpr std::string_view kNoteClose = "{O\\E}";
// Switches.
inline constexpr std::string_view kBoldOn = "{H\\L\\E}";
inline constexpr std::string_view kBoldOff = "{H\\D\\E}";
inline constexpr std::string_view kItalicOn = "{H\\IS\\E}";
inline constexpr std::string_view kItalicOff = "{H\\IE\\E}";
inline constexpr std::string_view kStrikeOn = "{H\\R\\E}";
inline constexpr std::string_view kStrikeOff = "{H\\J\\E}";
// Colour: kColourOpen colour-text kColourClose; kColourOff back to FontColor.
inline constexpr std::string_view kColourOpen = "{H\\K}";
inline constexpr std::string_view kColourClose = "{K\\E}";
inline constexpr std::string_view kColourOff = "{H\\F\\E}";
// Rule: the unit is repeated to the end of the line.
inline constexpr std::string_view kRuleOpen = "{H\\Y}";
inline constexpr std::string_view kRuleClose = "{Y\\E}";
// Voiced mark over the previous cell (vertical writing only).
inline constexpr std::string_view kVoicedOpen = "{H\\V}";
inline constexpr std::string_view kVoicedClose = "{V\\E}";
// Image: kImageOpen path kImageClose, then (from the line builder)
// kImageHeight h kImageHeight kImageWidth w kImageWidth.
inline constexpr std::string_view kImageOpen = "{H\\I}";
inline constexpr std::string_view kImageClose = "{I\\E}";
inline constexpr std::string_view kImageHeight = "{I_MH}";
inline constexpr std::string_view kImageWidth = "{I_MW}";
// Link: kLinkOpen target kLinkClose ... kLinkEnd.
inline constexpr std::string_view kLinkOpen = "{H\\A_S}";
inline constexpr std::string_view kLinkClose = "{A_S\\E}";
inline constexpr std::string_view kLinkEnd = "{H\\A_C\\E}";

// Character size in steps: kSizeOpen step kSizeClose, the step an ASCII
// integer from -3 to 3 ("2", "-1"); "0" is the body size again. Headings,
// N段階大きな文字 / 小さな文字, captions and warichu use it; SizeStepScale
// gives the factor both the line breaker and the renderer apply.
inline constexpr std::string_view kSizeOpen = "{H\\Z}";
inline constexpr std::string_view kSizeClose = "{Z\\E}";
// Line beside the text: kSidelineOpen kind kSidelineClose ... kSidelineOff.
// kind is two ASCII letters: the side, "R" (right in vertical writing, below
// in horizontal) or "L" (left / above), then the stroke, "S" solid, "D"
// double, "C" chain (dash-dot), "B" broken (dashed), "W" wavy.
inline constexpr std::string_view kSidelineOpen = "{H\\N}";
inline constexpr std::string_view kSidelineClose = "{N\\E}";
inline constexpr std::string_view kSidelineOff = "{H\\NE\\E}";
// Tate-chu-yoko: the run between is set across the line in one cell
// (vertical writing); in horizontal writing it is ordinary text.
inline constexpr std::string_view kTcyOn = "{H\\T\\E}";
inline constexpr std::string_view kTcyOff = "{H\\TE\\E}";
// A rule drawn around the run between.
inline constexpr std::string_view kBoxOn = "{H\\X\\E}";
inline constexpr std::string_view kBoxOff = "{H\\XE\\E}";
// Kanbun marks tied to the character before the tag, small, taking no room:
// a kaeriten (二, 一, レ, 上, 一レ ...) at the lower left of that character's
// cell, a kunten okurigana (the text without its brackets) at the lower right.
inline constexpr std::string_view kKaeritenOpen = "{H\\Q}";
inline constexpr std::string_view kKaeritenClose = "{Q\\E}";
inline constexpr std::string_view kOkuriganaOpen = "{H\\U}";
inline constexpr std::string_view kOkuriganaClose = "{U\\E}";

// The rule an HTML <hr> becomes.
inline constexpr std::string_view kHtmlRule = "{H\\Y}\x81\x5C{Y\\E}";  // "―"

}  // namespace tag

// Tag builders. Arguments are written as given; they must not hold "\E}".
std::string SideNote(std::string_view note);
std::string ColourTag(std::string_view colourText);
std::string RuleTag(std::string_view unit);
std::string VoicedTag(std::string_view mark);
std::string ImageTag(std::string_view path);
std::string ImageSizeSuffix(int height, int width);
std::string LinkStart(std::string_view target);
std::string SizeTag(int step);
std::string SidelineTag(char side, char stroke);
std::string KaeritenTag(std::string_view mark);
std::string OkuriganaTag(std::string_view kana);

// The factor a size step scales the fonts by: 1 + 0.15 step (0.55 to 1.45);
// a step outside -3..3 counts as the nearest one.
double SizeStepScale(int step);
// A length in page pixels at a size step, rounded: the body font's cell (a
// full-width character's width) becomes this. The line breaker and the
// renderer both size text by it, so they agree on every width.
int32_t SizeStepPixels(int32_t pixels, int step);

// What a tag span says. The walker (import/MarkupWalker.h) decides where a
// span starts and ends; ReadTag only reads one it delimited. A span that is
// none of these forms (an unknown letter, a closing literal missing or
// elsewhere, "{H\V}" in horizontal writing) is Unknown: it takes no room and
// draws nothing, as the line breaker measured it.
enum class TTagKind {
  Ruby, Note, BoldOn, BoldOff, ItalicOn, ItalicOff, StrikeOn, StrikeOff,
  Colour, ColourOff, Rule, Voiced, Image, LinkStart, LinkEnd, SpreadSpace,
  Size, SidelineOn, SidelineOff, TcyOn, TcyOff, BoxOn, BoxOff, Kaeriten, Okurigana, Unknown,
};

struct TTagMatch {
  TTagKind Kind;
  std::string_view Arg;   // reading, note, colour, unit, mark, path, target
  std::string_view Arg2;  // ruby base (the copy inside the group)
  size_t End = 0;         // position just past the span (and image size suffix)
  int ImageHeight = -1;   // from the size suffix; -1 when there is none
  int ImageWidth = -1;
  bool Left = false;      // a ruby group opened by kLeftRubyOpen
  int Step = 0;           // Size: the step, clamped to -3..3
};

// Reads the complete span line[pos, end).
TTagMatch ReadTag(std::string_view line, size_t pos, size_t end);

// The walker's image rule: the span line[pos, end) opens with the image
// literal; when it closes with "{I\E}" and a well-formed size suffix
// ("{I_MH}" digits "{I_MH}{I_MW}" digits "{I_MW}", at most 9 digits each)
// follows, the end of that suffix, else end.
size_t ImageSizeEnd(std::string_view line, size_t pos, size_t end);

// Vertical writing with tate-chu-yoko on: the bytes from p (1 or 2) that are
// set upright together in one full cell, or 0 when the character at p is
// set sideways (or is no single byte). Upright: "!" or "?" followed by
// another, and a run of one or two ASCII letters or digits that ends the
// line or meets a double-byte character (complete tags in between do not
// count; a Latin letter of the user-defined area, IsSidewaysUserChar,
// continues a run). afterSingle: the character before p on the line was a
// single byte or such a letter (then p continues a run, never upright). The line breaker
// measures and the column renderer draws by this one rule; `line` is the
// walker over the line they both hold.
size_t UprightCell(TMarkupWalker& line, size_t p, bool afterSingle);
// What afterSingle asks of the character (or upright pair) just set: a
// single byte, or a Latin letter of the user-defined area. The line breaker
// and the column renderer track it by this one rule.
bool SetAsSingleByte(std::string_view ch);

// The end of the closing tag of a tate-chu-yoko run whose text starts at
// `from` (on a unit boundary of the walker's line), or 0 when the line does
// not close it: the run is then ordinary text. `memo` remembers the search,
// so a line of many openings without a closing is still walked once; use
// one per walker. The line breaker and the renderer both decide by it.
size_t TcyCloseEnd(TMarkupWalker& walker, size_t from, TForwardSearch& memo);

// A display line as plain text (CP932): the markup removed, a ruby reading
// (either side) written as 《reading》 after its base, a side note as
// ［＃note］ where it stands, kanbun marks as their text where they stand.
// What `rpv --text` prints.
std::string LineAsText(std::string_view line);

// Keeps the drawing state balanced per display line (every document, after
// cutting): what is still switched on at the end of a line (bold, italic,
// strike-out, a size step, a side line, a box, tate-chu-yoko; the last
// switch of each kind decides) is switched off at its end, in that order,
// and on again at the start of the next line, so a heading that wraps stays
// bold and large. Colour and link state are not carried.
void BalanceStyleTags(TLines& displayLines);
// Balances one line against the next (what BalanceStyleTags does for each
// neighbouring pair).
void BalanceStyleTags(TLine& line, TLine& next);

}  // namespace rpv
