// Plain text with ruby marks and bracket annotations into display markup,
// and the per-line preparations every document gets before wrapping.
//
// Notation: "｜" opens a ruby base, "《" … "》" hold the reading, "［＃" … "］"
// holds an editorial annotation (emphasis dots, as-written mark, block
// indent, alignment, page breaks, other notes).
//
// How the line builder chains the passes (all strings CP932):
//
//   if (style.HasRubyFlag(kRubyOn)) {
//     for each source line: line.Text = ConvertRubyMarks(line.Text, style);
//     ApplyAnnotations(sourceLines, style);          // may remove/insert lines
//   }
//   for each source line i, in order:
//     text = PrepareLine(sourceLines[i].Text, style); // voiced marks, tabs, rules
//     WrapLine(text, i);                              // cut into display lines
//   ... image placement, style balancing (HTML) ...
//   if (style.HasRubyFlag(kRubyOn)) ApplyPageBreaks(displayLines, style);
//
// Nothing here fails: whatever does not form a complete construct stays as
// text, and every scan moves forward over whole characters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/InlineAnnotations.h"
#include "import/LayoutAnnotations.h"
#include "import/PageBreaks.h"

namespace rpv {

class TInfo;
class TLine;
class TLines;
class TLineText;

// One ruby group, or one group per character when base and reading have the
// same number of characters. A base under a reading longer than the base and
// `overhang` (the pixels it may stand out over its neighbours) is spread by
// the room of half-width spaces. fontPixels/rubyPixels are the body and ruby
// font sizes in pixels (TInfo::FontPixels, TInfo::RubyPixels). An empty
// reading gives the base unchanged.
std::string MakeRuby(std::string_view base, std::string_view reading, int fontPixels,
                     int rubyPixels, int overhang = 0);
std::string MakeRuby(std::string_view base, std::string_view reading, const TInfo& style);

// Ruby marks of one line into ruby groups: "｜base《reading》", and
// "base《reading》" where the base is found by moving back over a run of
// kanji (or of other characters up to a blank or a full-width symbol).
std::string ConvertRubyMarks(std::string_view line, const TInfo& style);
// The same into `out` (replacing what it held), so that converting line
// after line reuses one buffer. `line` must not point into `out`.
void ConvertRubyMarks(std::string_view line, const TInfo& style, std::string& out);

// Bracket annotations over all source lines, in order, carrying the block
// state from line to line: character annotations (InlineAnnotations.h)
// become markup (headings, styles, marks, notes, figures),
// layout annotations (LayoutAnnotations.h) set Indent, WrapIndent, EndGap
// and Align (a block annotation's own line is removed when nothing else
// stands on it), other annotations stay in the text at a line start and
// become side notes after text. A line cut at a mid-line "地付き" or
// "地からN字上げ" is inserted after its line and keeps that line's
// SourceIndex.
// Pictures named by figure annotations are taken from fileDir.
void ApplyAnnotations(TLines& sourceLines, const TInfo& style, std::string_view fileDir = {});

// The same pass one source line at a time, as layout streams a book: the
// lines it makes of `source` (none, one, or more at a mid-line 地付き) are
// appended to `out`. The block state carries over to the next Push.
class TAnnotationPass {
 public:
  explicit TAnnotationPass(const TInfo& style, std::string_view fileDir = {});
  void Push(TLine&& source, TLines& out);

  // Push in two halves. Prepare converts the line's annotations, which
  // needs nothing of the lines before it, so lines may be prepared on
  // several threads at once; Commit then applies the block state in order.
  struct TPiece {
    std::string Text;
    TLineLayout Layout;    // its own alignment and indent, the blocks it opens or ends
    bool Dropped = false;  // a block annotation's line with nothing else on it
    std::vector<TStyleBlockEvent> StyleEvents;  // block styles it starts or ends
  };
  struct TPrepared {
    bool Annotated = false;     // false: the line passes as it is
    std::vector<TPiece> Pieces;  // one, or more at mid-line 地付き or 字上げ
  };
  TPrepared Prepare(const TLine& source) const;
  void Commit(TLine&& source, TPrepared&& prepared, TLines& out);

 private:
  int fontPixels_;
  int rubyPixels_;
  std::string fileDir_;
  TLayoutMeasures measures_;
  TLayoutBlock block_;
  TStyleBlocks styleBlocks_;  // ここから太字 … ここで太字終わり and the like
};

// Per-line preparation before wrapping: in vertical writing free-standing
// voiced marks "゛" "゜" get the voiced-mark tag; tabs expand to the next
// multiple of style.Tab visible columns; a line of at least 40 bytes made
// only of repetitions of one HR pattern becomes a rule.
std::string PrepareLine(std::string_view text, const TInfo& style);
// The same on a line in place; a line that needs nothing is left untouched
// (not even copied).
void PrepareLineInPlace(std::string& line, const TInfo& style);
void PrepareLineInPlace(TLineText& line, const TInfo& style);

}  // namespace rpv
