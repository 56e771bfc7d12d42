// The line table (display lines of a document, and the lines layout passes
// hand on) and the link table (clickable rectangles of the page last drawn).
// Both own their items. The line table holds its lines by value in blocks: a
// line keeps its address while lines are added or removed at the end of the
// table, but an insertion or deletion in the middle moves lines, so a caller
// must not hold a line across one.
//
// A book has a few hundred thousand lines, so a line is kept to 24 bytes: its
// text shared with the lines it was cut from (see TLineText), its layout
// fields (indent, continuation indent, end gap, alignment) packed into one
// word behind the source index. Named anchors are not kept on
// lines but in the document's anchor list (HtmlConvert.h).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "render/cbcLineText.h"

namespace rpv {

class TLine {
 public:
  TLineText Text;           // CP932 text with display markup
  int32_t SourceIndex = 0;  // the source line it comes from
  // The layout fields share one word. All are in character cells.
  uint32_t Indent : 10 = 0;     // indent at the line start
  uint32_t WrapIndent : 10 = 0; // a source line's continuation lines' indent,
                                // when HasWrapIndent (else the text decides)
  uint32_t EndGap : 9 = 0;      // room kept free at the line end
  uint32_t Align : 2 = 0;       // 0 none, 1 flush to the line end, 2 centred
  uint32_t HasWrapIndent : 1 = 0;
};
static_assert(sizeof(TLine) == 24, "a line is 24 bytes; see the note on top");

// The largest indent and end gap a line holds.
inline constexpr int64_t kMaxLineIndent = 1023;
inline constexpr int64_t kMaxEndGap = 511;

// An indent in character cells as a line holds it. Indents are a number of
// an annotation plus a hanging indent that fits in a line, far inside the
// range; the clamp only keeps a freak value from wrapping round.
inline uint32_t LineIndent(int64_t cells) {
  return static_cast<uint32_t>(std::clamp<int64_t>(cells, 0, kMaxLineIndent));
}
inline uint32_t LineEndGap(int64_t cells) {
  return static_cast<uint32_t>(std::clamp<int64_t>(cells, 0, kMaxEndGap));
}

class TLines {
 public:
  // Appends a new empty line and returns its index.
  int Add() {
    lines_.emplace_back();
    return Count() - 1;
  }
  // Inserts a new empty line before `index` (an index past the end appends,
  // a negative one inserts at the front) and returns it.
  TLine& Insert(int index) {
    const size_t at = index < 0 ? 0 : std::min(static_cast<size_t>(index), lines_.size());
    return *lines_.emplace(lines_.begin() + static_cast<std::ptrdiff_t>(at));
  }
  // Removes the line; an index outside the table does nothing.
  void Delete(int index) {
    if (index < 0 || index >= Count()) return;
    lines_.erase(lines_.begin() + index);
  }
  void Clear() { lines_.clear(); }
  int Count() const { return static_cast<int>(lines_.size()); }
  // The line at the index, or nullptr when the index is outside the table.
  TLine* Item(int index) { return index >= 0 && index < Count() ? &lines_[index] : nullptr; }
  const TLine* Item(int index) const {
    return index >= 0 && index < Count() ? &lines_[index] : nullptr;
  }
  // Kept for callers that size a table ahead: the table grows in blocks,
  // never by copying itself, so there is nothing to reserve.
  void Reserve(int) {}
  // For passes that remove or insert many lines: they move every line into
  // a new table (ReleaseFirst until this one is empty, then Append there)
  // and move that table over this one, in linear time and without copying a
  // text. Taking lines from the front frees this table's blocks as the new
  // one fills, so the pass needs hardly more memory than one table.
  TLine ReleaseFirst() {
    TLine line = std::move(lines_.front());
    lines_.pop_front();
    return line;
  }
  int Append(TLine&& line) {
    lines_.push_back(std::move(line));
    return Count() - 1;
  }

 private:
  // A deque of values: no heap block per line (the deque allocates a block
  // per dozen lines), and growing a table of a few hundred thousand lines
  // neither copies it nor leaves up to half of it unused, as a doubling
  // vector would.
  std::deque<TLine> lines_;
};

// One clickable rectangle in page pixels; all four edges are inclusive.
class TLinkItem {
 public:
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  std::string Target;  // a path or URL with an optional "#" fragment

  bool Contains(int32_t x, int32_t y) const {
    return Left <= x && x <= Right && Top <= y && y <= Bottom;
  }
};

class TLinkItems {
 public:
  // Appends an item and returns its index.
  int Add(int32_t left, int32_t top, int32_t right, int32_t bottom, std::string target) {
    auto item = std::make_unique<TLinkItem>();
    item->Left = left;
    item->Top = top;
    item->Right = right;
    item->Bottom = bottom;
    item->Target = std::move(target);
    items_.push_back(std::move(item));
    return Count() - 1;
  }
  void Clear() { items_.clear(); }
  int Count() const { return static_cast<int>(items_.size()); }
  TLinkItem* Item(int index) { return index >= 0 && index < Count() ? items_[index].get() : nullptr; }
  const TLinkItem* Item(int index) const {
    return index >= 0 && index < Count() ? items_[index].get() : nullptr;
  }
  // The target of the first item, in the order added, that contains the
  // point; empty when none does.
  std::string TargetAt(int32_t x, int32_t y) const {
    for (const auto& item : items_)
      if (item->Contains(x, y)) return item->Target;
    return {};
  }

 private:
  std::vector<std::unique_ptr<TLinkItem>> items_;
};

}  // namespace rpv
