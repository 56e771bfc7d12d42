#include "import/SourceText.h"

#include <utility>

namespace rpv {

void TSourceText::SetText(std::string text) {
  // The breaks are squeezed out in place, so a large file is never held twice.
  starts_.assign(1, 0);
  size_t out = 0;
  size_t in = 0;
  const size_t n = text.size();
  while (in < n) {
    const char c = text[in];
    if (c == '\r' || c == '\n') {
      starts_.push_back(out);
      in += (c == '\r' && in + 1 < n && text[in + 1] == '\n') ? 2 : 1;
      continue;
    }
    text[out++] = c;
    ++in;
  }
  // Text after the last break is a line of its own; a break at the very end
  // leaves nothing after it and so adds no line.
  if (n > 0 && text[n - 1] != '\r' && text[n - 1] != '\n') starts_.push_back(out);
  text.resize(out);
  bytes_ = std::move(text);
}

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
  bytes_.clear();
  starts_.assign(1, 0);
}

void TSourceText::Add(std::string_view line) {
  bytes_ += line;
  starts_.push_back(bytes_.size());
}

}  // namespace rpv
