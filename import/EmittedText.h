// The text the annotation pass emits for one line, kept unit by unit (a
// character or a whole tag span) so that the annotations that act on the
// text before them (emphasis, headings, notes ...) find it by its visible
// characters without rescanning the line. Used by TextConvert.cpp and
// InlineAnnotations.cpp only.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "import/DisplayMarkup.h"
#include "import/MarkupWalker.h"
#include "import/MbScan.h"

namespace rpv {

// The text one annotation pass emits for a line, with the start of every
// unit (a character or a whole tag span), so that suffix tests and the place
// of a side note never need the text rescanned: a line with thousands of
// annotations stays linear.
class TEmitted {
 public:
  static constexpr size_t npos = std::string_view::npos;

  const std::string& Text() const { return text_; }
  std::string Take() { return std::move(text_); }

  // Appends markup or text, unit by unit.
  void Append(std::string_view s) {
    TMarkupWalker w(s);
    for (size_t i = 0; i < s.size();) {
      const size_t e = w.TagEnd(i);
      const size_t next = e != 0 ? e : i + mb::Len(s, i);
      AddUnit(s.substr(i, next - i), e == 0);
      i = next;
    }
  }
  // Appends one unit as it stands (a tag span is not visible).
  void AddUnit(std::string_view unit, bool visible) {
    if (visible) lastVisible_ = units_.size();
    units_.push_back({text_.size(), visible});
    text_.append(unit);
  }

  // Whether anything visible was emitted: the line start test.
  bool Shown() const { return lastVisible_ != npos; }

  // True when the text ends with the characters x (matched from a unit
  // start, so never from the middle of a character or a tag).
  bool EndsWith(std::string_view x) const {
    if (x.empty() || x.size() > text_.size()) return false;
    const size_t at = text_.size() - x.size();
    if (text_.compare(at, x.size(), x) != 0) return false;
    const auto it = std::lower_bound(units_.begin(), units_.end(), at,
                                     [](const Unit& u, size_t off) { return u.offset < off; });
    return it != units_.end() && it->offset == at;
  }

  // True when the text ends with the tag span `literal` ends with.
  bool EndsWithTag(std::string_view literal) const {
    return !units_.empty() && !units_.back().visible && text_.size() >= literal.size() &&
           text_.compare(text_.size() - literal.size(), literal.size(), literal) == 0;
  }

  // Drops the last n bytes (which EndsWith has shown to be whole units).
  void DropLast(size_t n) {
    const size_t size = text_.size() - n;
    while (!units_.empty() && units_.back().offset >= size) units_.pop_back();
    text_.resize(size);
    for (size_t& m : marks_) m = std::min(m, size);
    lastVisible_ = npos;
    for (size_t k = units_.size(); k-- > 0;) {
      if (units_[k].visible) {
        lastVisible_ = k;
        break;
      }
    }
  }

  // Inserts a tag right before the last visible character, so that it is
  // tied to that character; with none, at the end.
  void InsertBeforeLastVisible(std::string_view tagText) {
    if (lastVisible_ == npos) {
      AddUnit(tagText, false);
      return;
    }
    const size_t at = units_[lastVisible_].offset;
    text_.insert(at, tagText);
    for (size_t k = lastVisible_; k < units_.size(); ++k) units_[k].offset += tagText.size();
    for (size_t& m : marks_) {
      if (m > at) m += tagText.size();
    }
    units_.insert(units_.begin() + static_cast<std::ptrdiff_t>(lastVisible_), Unit{at, false});
    ++lastVisible_;
  }

  // Where the visible characters x end the text, tags between them and
  // after them included, and so are the ruby groups (and their spacing)
  // that stand right before the first of them: the offset that run starts
  // at, or npos when the text does not end so.
  size_t FindVisibleTail(std::string_view x) const {
    if (x.empty()) return npos;
    size_t k = units_.size();
    size_t left = x.size();
    while (left > 0) {
      if (k == 0) return npos;
      --k;
      if (!units_[k].visible) continue;
      const size_t len = UnitEnd(k) - units_[k].offset;
      if (len > left || text_.compare(units_[k].offset, len, x.substr(left - len, len)) != 0)
        return npos;
      left -= len;
    }
    while (k > 0 && !units_[k - 1].visible) {
      const size_t at = units_[k - 1].offset;
      if (!mb::At(text_, at, tag::kRubyOpen) && !mb::At(text_, at, tag::kLeftRubyOpen) &&
          !mb::At(text_, at, tag::kSpreadSpace))
        break;
      --k;
    }
    return units_[k].offset;
  }

  // Removes and returns the text from offset (a unit start) on.
  std::string TakeTail(size_t offset) {
    std::string tail = text_.substr(offset);
    DropLast(tail.size());
    return tail;
  }

  // The last visible character, or empty.
  std::string_view LastVisible() const {
    if (lastVisible_ == npos) return {};
    const size_t at = units_[lastVisible_].offset;
    return std::string_view(text_).substr(at, UnitEnd(lastVisible_) - at);
  }

  // A place in the text (the current end) that later insertions before it
  // move along with; MarkOffset reads it back.
  size_t PlaceMark() {
    marks_.push_back(text_.size());
    return marks_.size() - 1;
  }
  size_t MarkOffset(size_t mark) const { return marks_[mark]; }
  // Forgets every mark (none is in use any more).
  void ClearMarks() { marks_.clear(); }

 private:
  size_t UnitEnd(size_t k) const { return k + 1 < units_.size() ? units_[k + 1].offset : text_.size(); }

  struct Unit {
    size_t offset;
    bool visible;
  };
  std::string text_;
  std::vector<Unit> units_;
  size_t lastVisible_ = npos;
  std::vector<size_t> marks_;
};

}  // namespace rpv
