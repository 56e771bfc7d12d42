// The side record of bookmark page tops: for each bookmark set by this
// program, the visible-character offset of its page top within the source
// line bm.csv names. bm.csv itself stays as it is (rpvmark and older files
// share it); without an entry here a bookmark opens where its line starts.
// The record is a convenience only: a missing, unreadable or garbled file
// reads as empty, a garbled line is skipped, and the next save writes the
// whole file anew.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <tuple>

#include "bookmarks/rpvBookMark.h"

namespace rpv {

class TBookMarkPositions {
 public:
  // Replaces the record with the file's entries; never throws.
  void Load(std::string_view path);
  // Writes the entries whose bookmark is still in marks (the others are
  // dropped from the record too). False when the file could not be written.
  bool Save(std::string_view path, const TBookMarks& marks);
  // The offset recorded for the bookmark; 0 when there is none.
  int32_t Lookup(const TBookMark& mark) const;
  // Records the offset of a bookmark (a negative one records nothing).
  void Set(const TBookMark& mark, int32_t offset);
  int Count() const { return static_cast<int>(offsets_.size()); }

 private:
  // What identifies a bookmark: path, line, date-time and archive (the
  // comment and the visible flag change in the manager).
  using TKey = std::tuple<std::string, int32_t, std::string, std::string>;
  static TKey KeyOf(const TBookMark& mark);

  std::map<TKey, int32_t> offsets_;
};

}  // namespace rpv
