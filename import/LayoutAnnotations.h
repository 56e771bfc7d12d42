// The layout annotations of e-texts: where a line starts and ends rather
// than what its characters look like. One-line forms act on the line they
// open (［＃３字下げ］, ［＃地付き］, ［＃地から２字上げ］, ［＃中央揃え］); block
// forms (［＃ここから２字下げ］ … ［＃ここで字下げ終わり］, hanging indents,
// 地付き and 字上げ blocks, ［＃ここから２０字詰め］ …) act on every line up to
// their end. A line's own annotations are read in parallel with other lines
// (ReadLayoutAnnotation, TLineLayout); the block state is carried in order
// (TLayoutBlock) and turned into the line fields Indent, WrapIndent, EndGap
// and Align (SetLayoutFields).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace rpv {

class TLine;

enum class TLayoutKind : uint8_t {
  LineIndent,      // N字下げ: the line starts N cells in
  LineRaise,       // 地付き (N = 0), 地からN字上げ: flush to the end, N cells short of it
  Centre,          // 中央揃え
  BlockIndent,     // ここからN字下げ, with M: 折り返してM字下げ (N = 0: 改行天付き)
  BlockIndentEnd,  // ここで字下げ終わり
  BlockRaise,      // ここから地付き (N = 0), ここから地からN字上げ
  BlockRaiseEnd,   // ここで地付き終わり, ここで字上げ終わり
  BlockFill,       // ここからN字詰め: lines hold N characters
  BlockFillEnd,    // ここで字詰め終わり
};

struct TLayoutAnnotation {
  TLayoutKind Kind;
  int N = 0;
  int M = -1;  // the continuation lines' indent of a hanging block, else -1

  bool IsBlock() const { return Kind >= TLayoutKind::BlockIndent; }
};

// The layout annotation an annotation body (the text between "［＃" and
// "］", CP932) names, or nullopt. Numbers are full- or half-width digits.
std::optional<TLayoutAnnotation> ReadLayoutAnnotation(std::string_view body);

// What a line's own layout annotations set, as they are met on it.
struct TLineLayout {
  uint8_t Align = 0;
  int Indent = 0;   // added to the block's
  int EndGap = 0;   // of a 字上げ line
  bool Removable = false;  // holds a block annotation: the line goes when nothing else is on it
  std::vector<TLayoutAnnotation> Blocks;  // in order

  enum class TEffect {
    Taken,    // acted on: the annotation goes
    Cut,      // mid-line 地付き or 字上げ: the rest of the line becomes a line of its own
    Ignored,  // not acted on here (a one-line form after text)
  };
  TEffect Take(const TLayoutAnnotation& a, bool atLineStart);
};

// The measures the fields depend on, in pixels.
struct TLayoutMeasures {
  int32_t FontPixels = 1;
  int32_t BetweenChar = 0;
  int32_t LineLength = 0;
};

// The block state, changed by block annotations in the order of the lines.
class TLayoutBlock {
 public:
  void Apply(const TLayoutAnnotation& a);

  // Sets a line's layout fields from the block and from what the line's
  // own annotations set (ownIndent cells more, and the end gap of its own
  // 字上げ). Indent and Align come in as the line stands: the source's indent,
  // its own alignment (which wins over the block's).
  void SetLayoutFields(TLine& line, int ownIndent, int ownEndGap, const TLayoutMeasures& m) const;

 private:
  int indent_ = 0;
  int wrapIndent_ = -1;  // -1: the text's own hanging indent
  int raise_ = -1;       // -1: no 地付き or 字上げ block
  int fill_ = 0;         // 0: no 字詰め block
};

}  // namespace rpv
