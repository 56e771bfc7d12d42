#include "import/SourceText.h"

#include <limits>
#include <stdexcept>
#include <utility>

namespace rpv {

void TSourceText::SetText(TLineText text) {
  if (text.size() > std::numeric_limits<uint32_t>::max() - 64)
    throw std::length_error("text too long");
  // The breaks are squeezed out in place: the text's buffer (a file read
  // straight into it) becomes the one the source lines share, not a copy.
  starts_.assign(1, 0);
  const size_t n = text.size();
  text.resize_and_overwrite(n, [&](char* bytes, size_t) {
    size_t out = 0;
    size_t in = 0;
    while (in < n) {
      const char c = bytes[in];
      if (c == '\r' || c == '\n') {
        starts_.push_back(static_cast<uint32_t>(out));
        in += (c == '\r' && in + 1 < n && bytes[in + 1] == '\n') ? 2 : 1;
        continue;
      }
      bytes[out++] = c;
      ++in;
    }
    // Text after the last break is a line of its own; a break at the very
    // end leaves nothing after it and so adds no line.
    if (n > 0 && bytes[n - 1] != '\r' && bytes[n - 1] != '\n') starts_.push_back(static_cast<uint32_t>(out));
    return out;
  });
  bytes_ = std::move(text);
  starts_.shrink_to_fit();
}

void TSourceText::SetText(std::string_view text) { SetText(TLineText(text)); }

std::string TSourceText::Text() const {
  std::string out;
  out.reserve(bytes_.size() + 2 * Count());
  for (size_t i = 0; i < Count(); ++i) {
    out += (*this)[i];
    out += "\r\n";
  }
  return out;
}

void TSourceText::Clear() {
  bytes_ = TLineText();
  starts_.assign(1, 0);
  starts_.shrink_to_fit();
}

void TSourceText::Add(std::string_view line) {
  bytes_ += line;
  starts_.push_back(static_cast<uint32_t>(bytes_.size()));
}

}  // namespace rpv
