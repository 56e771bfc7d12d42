// The text of the loaded file, one item per line, kept compactly: all lines
// share one byte buffer, so a book of a few hundred thousand lines costs its
// bytes plus one offset a line rather than a string object and an allocation
// a line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace rpv {

class TSourceText {
 public:
  // Replaces the lines by the text split at CR LF, CR or LF. A line break at
  // the very end adds no empty line; an empty text gives no lines at all.
  void SetText(std::string text);
  // The lines joined, each followed by CR LF (empty when there are none).
  std::string Text() const;

  void Clear();
  void Add(std::string_view line);

  size_t Count() const { return starts_.size() - 1; }
  bool Empty() const { return Count() == 0; }
  // The line at index (index < Count()); valid until the text next changes.
  std::string_view operator[](size_t index) const {
    return std::string_view(bytes_).substr(starts_[index], starts_[index + 1] - starts_[index]);
  }

 private:
  std::string bytes_;                 // the lines without their breaks
  std::vector<size_t> starts_{0};     // line i is [starts_[i], starts_[i + 1])
};

}  // namespace rpv
