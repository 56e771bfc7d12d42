// The text of the loaded file, one item per line, kept compactly: all lines
// share one byte buffer, so a book of a few hundred thousand lines costs its
// bytes plus one offset a line rather than a string object and an allocation
// a line. Source lines that conversion leaves as they are share that buffer
// too (Line).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "render/cbcLineText.h"

namespace rpv {

class TSourceText {
 public:
  // Replaces the lines by the text split at CR LF, CR or LF. A line break at
  // the very end adds no empty line; an empty text gives no lines at all.
  // A text with a buffer of its own (a file just read) is split in place and
  // kept: the lines then share the very bytes that were read.
  void SetText(TLineText text);
  void SetText(std::string_view text);
  // The lines joined, each followed by CR LF (empty when there are none).
  std::string Text() const;

  void Clear();
  void Add(std::string_view line);

  size_t Count() const { return starts_.size() - 1; }
  bool Empty() const { return Count() == 0; }
  // The bytes of all lines, without their breaks.
  size_t Bytes() const { return starts_.back(); }
  // The line at index (index < Count()); valid until the text next changes.
  std::string_view operator[](size_t index) const {
    return bytes_.view().substr(starts_[index], starts_[index + 1] - starts_[index]);
  }
  // The same line as a line text that shares this text's buffer.
  TLineText Line(size_t index) const {
    return bytes_.Slice(starts_[index], starts_[index + 1] - starts_[index]);
  }

 private:
  TLineText bytes_;                   // the lines without their breaks
  // Line i is [starts_[i], starts_[i + 1]); files are far below 4 GB (the
  // reader refuses them above 512 MB).
  std::vector<uint32_t> starts_{0};
};

}  // namespace rpv
