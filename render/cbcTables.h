// The line table (source and display lines of a document) and the link
// table (clickable rectangles of the page last drawn). Both own their items;
// an item keeps its address while it stays in the table, so a caller may
// hold a line across insertions elsewhere in the table.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace rpv {

class TLine {
 public:
  std::string Text;         // CP932 text with display markup
  int32_t SourceIndex = 0;  // the source line it comes from
  uint8_t Align = 0;        // 0 none, 1 flush to the line end, 2 centred
  int32_t Indent = 0;       // indent at the line start, in character cells
  std::string Anchor;       // name of an HTML anchor on the line, or empty
};

class TLines {
 public:
  // Appends a new empty line and returns its index.
  int Add() {
    lines_.push_back(std::make_unique<TLine>());
    return Count() - 1;
  }
  // Inserts a new empty line before `index` (an index past the end appends,
  // a negative one inserts at the front) and returns it.
  TLine& Insert(int index) {
    const size_t at = index < 0 ? 0 : std::min(static_cast<size_t>(index), lines_.size());
    return **lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at),
                           std::make_unique<TLine>());
  }
  // Removes the line; an index outside the table does nothing.
  void Delete(int index) {
    if (index < 0 || index >= Count()) return;
    lines_.erase(lines_.begin() + index);
  }
  void Clear() { lines_.clear(); }
  int Count() const { return static_cast<int>(lines_.size()); }
  // The line at the index, or nullptr when the index is outside the table.
  TLine* Item(int index) { return index >= 0 && index < Count() ? lines_[index].get() : nullptr; }
  const TLine* Item(int index) const {
    return index >= 0 && index < Count() ? lines_[index].get() : nullptr;
  }
  void Reserve(int n) {
    if (n > 0) lines_.reserve(static_cast<size_t>(n));
  }
  // For passes that remove or insert many lines: they move every line into
  // a new table (Release, then Append there) and move that table over this
  // one, in linear time and without copying a line. A released place is
  // empty: only Clear, destruction or assignment may meet it.
  std::unique_ptr<TLine> Release(int index) { return std::move(lines_[static_cast<size_t>(index)]); }
  int Append(std::unique_ptr<TLine> line) {
    lines_.push_back(std::move(line));
    return Count() - 1;
  }

 private:
  std::vector<std::unique_ptr<TLine>> lines_;
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
