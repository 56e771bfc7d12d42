#include "import/SourceText.h"

#include <cstring>
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
    // Lines are moved down whole, found with memchr: a byte-by-byte loop
    // was a twentieth of a 10 MB book's load and layout. The next CR and
    // the next LF are each searched for again only once passed, so a text
    // with only one kind of break is still read once.
    const char* const end = bytes + n;
    auto next = [end](const char* from, char c) {
      const void* hit = std::memchr(from, c, static_cast<size_t>(end - from));
      return hit != nullptr ? static_cast<const char*>(hit) : end;
    };
    const char* nextCr = next(bytes, '\r');
    const char* nextLf = next(bytes, '\n');
    const char* in = bytes;
    size_t out = 0;
    while (true) {
      const char* const brk = nextCr < nextLf ? nextCr : nextLf;
      const auto len = static_cast<size_t>(brk - in);
      if (bytes + out != in) std::memmove(bytes + out, in, len);
      out += len;
      // Text after the last break is a line of its own; a break at the
      // very end leaves nothing after it and so adds no line.
      if (brk == end) {
        if (len > 0) starts_.push_back(static_cast<uint32_t>(out));
        break;
      }
      starts_.push_back(static_cast<uint32_t>(out));
      in = brk + ((*brk == '\r' && brk + 1 < end && brk[1] == '\n') ? 2 : 1);
      if (nextCr < in) nextCr = next(in, '\r');
      if (nextLf < in) nextLf = next(in, '\n');
    }
    return out;
  });
  bytes_ = std::move(text);
  // The room of the removed breaks (CR LF: a twentieth of a book) is given
  // back; a copy while loading stays far below what layout takes after.
  if (bytes_.capacity() - bytes_.size() > bytes_.size() / 32) bytes_.shrink_to_fit();
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
