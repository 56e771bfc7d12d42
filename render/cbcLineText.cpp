#include "render/cbcLineText.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace rpv {

namespace {

// Buffers are whole 8-byte words: the header is one, the bytes follow.
using TWord = uint64_t;

size_t WordsFor(size_t bytes) { return 1 + (bytes + sizeof(TWord) - 1) / sizeof(TWord); }

// True when the view lies in [start, start + n): it must be copied before
// the buffer it points into is rewritten or given back.
bool Overlaps(std::string_view s, const char* start, size_t n) {
  return start != nullptr && s.data() >= start && s.data() < start + n;
}

}  // namespace

size_t TLineText::capacity() const noexcept {
  return Unique() ? Header()->capacity - offset_ : size_;
}

TLineText TLineText::Slice(size_t pos, size_t n) const noexcept {
  TLineText out;
  if (pos >= size_) return out;
  n = std::min(n, size_ - pos);
  if (n == 0) return out;
  out.data_ = data_ + pos;
  out.size_ = static_cast<uint32_t>(n);
  out.offset_ = static_cast<uint32_t>(offset_ + pos);
  Refs(Header()).fetch_add(1, std::memory_order_relaxed);
  return out;
}

void TLineText::Release() noexcept {
  if (data_ != nullptr) {
    Head* head = Header();
    // The last owner must see every other owner's writes before freeing.
    if (Refs(head).fetch_sub(1, std::memory_order_acq_rel) == 1) {
      std::allocator<TWord>().deallocate(reinterpret_cast<TWord*>(head), WordsFor(head->capacity));
    }
  }
  data_ = nullptr;
  size_ = 0;
  offset_ = 0;
}

void TLineText::Reallocate(size_t capacity, size_t keep) {
  if (capacity > std::numeric_limits<uint32_t>::max() - 2 * sizeof(TWord))
    throw std::length_error("line text too long");
  const size_t words = WordsFor(capacity);
  TWord* block = std::allocator<TWord>().allocate(words);
  Head* head = reinterpret_cast<Head*>(block);
  head->refs = 1;
  head->capacity = static_cast<uint32_t>((words - 1) * sizeof(TWord));
  char* bytes = reinterpret_cast<char*>(block + 1);
  if (keep > 0) std::memcpy(bytes, data_, keep);
  Release();
  data_ = bytes;
  size_ = static_cast<uint32_t>(keep);
  offset_ = 0;
}

char* TLineText::Writable(size_t size, size_t keep) {
  if (Unique() && Header()->capacity - offset_ >= size) return data_;
  // Appending grows by half again, so a line built piece by piece (HTML)
  // is not copied once per piece.
  const size_t room = keep > 0 ? std::max(size, keep + keep / 2) : size;
  Reallocate(room, keep);
  return data_;
}

TLineText& TLineText::assign(std::string_view s) {
  if (s.empty()) {
    clear();
    return *this;
  }
  if (Overlaps(s, data_ - (data_ != nullptr ? offset_ : 0),
               data_ != nullptr ? Header()->capacity : 0)) {
    const std::string copy(s);
    return assign(std::string_view(copy));
  }
  // A buffer of its own is reused unless it is much larger than the text
  // (left from a layout with longer lines).
  if (Unique() && Header()->capacity >= s.size() && Header()->capacity <= 2 * s.size() + 64) {
    data_ -= offset_;
    offset_ = 0;
  } else {
    Release();
    Reallocate(s.size(), 0);
  }
  std::memcpy(data_, s.data(), s.size());
  size_ = static_cast<uint32_t>(s.size());
  return *this;
}

TLineText& TLineText::assign(size_t n, char c) {
  clear();
  return append(n, c);
}

TLineText& TLineText::append(std::string_view s) {
  if (s.empty()) return *this;
  if (Overlaps(s, data_ - (data_ != nullptr ? offset_ : 0),
               data_ != nullptr ? Header()->capacity : 0)) {
    const std::string copy(s);
    return append(std::string_view(copy));
  }
  const size_t old = size_;
  char* out = Writable(old + s.size(), old);
  std::memcpy(out + old, s.data(), s.size());
  size_ = static_cast<uint32_t>(old + s.size());
  return *this;
}

TLineText& TLineText::append(size_t n, char c) {
  if (n == 0) return *this;
  const size_t old = size_;
  char* out = Writable(old + n, old);
  std::memset(out + old, c, n);
  size_ = static_cast<uint32_t>(old + n);
  return *this;
}

TLineText& TLineText::insert(size_t pos, std::string_view s) {
  if (pos > size_) throw std::out_of_range("TLineText::insert");
  if (pos == size_) return append(s);
  std::string joined(view().substr(0, pos));
  joined.append(s).append(view().substr(pos));
  return assign(std::string_view(joined));
}

TLineText& TLineText::erase(size_t pos, size_t n) {
  if (pos > size_) throw std::out_of_range("TLineText::erase");
  n = std::min(n, size_ - pos);
  if (n == 0) return *this;
  if (n == size_) {
    clear();
  } else if (pos + n == size_) {
    size_ = static_cast<uint32_t>(pos);  // a shorter view of the same bytes
  } else if (pos == 0) {
    data_ += n;
    offset_ += static_cast<uint32_t>(n);
    size_ -= static_cast<uint32_t>(n);
  } else {
    std::string rest(view().substr(0, pos));
    rest.append(view().substr(pos + n));
    assign(std::string_view(rest));
  }
  return *this;
}

void TLineText::clear() noexcept {
  if (Unique()) {
    data_ -= offset_;
    offset_ = 0;
    size_ = 0;
  } else {
    Release();
  }
}

void TLineTextPack::Take(TLineText& text) {
  const size_t n = text.size();
  if (n == 0 || n > kLargestBlock || !text.Unique()) return;
  if (block_.data_ == nullptr || block_.Header()->capacity - block_.offset_ - block_.size_ < n) {
    TLineText block;
    block.Reallocate(std::max(next_, n), 0);
    block_ = std::move(block);
    next_ = std::min(2 * next_, kLargestBlock);
  }
  const size_t at = block_.size_;
  std::memcpy(block_.data_ + at, text.data_, n);
  block_.size_ = static_cast<uint32_t>(at + n);
  text = block_.Slice(at, n);
}

void TLineText::shrink_to_fit() {
  if (data_ == nullptr) return;
  if (size_ == 0) {
    Release();
    return;
  }
  if (Unique() && WordsFor(Header()->capacity) > WordsFor(size_)) Reallocate(size_, size_);
}

}  // namespace rpv
