// The text of a line-table entry, made small for books of several hundred
// thousand lines.
//
// TLineText reads like a CP932 std::string (the part of its interface the
// converters and the renderer use) but lines may share one buffer: a display
// line is a slice of its source line's text rather than a copy, so the
// display text of a book costs almost nothing beyond its source lines. Every
// change copies first when the buffer is shared, so each line still behaves
// as a value of its own. The count of sharers is atomic, so lines of one
// buffer may live on different threads; one line object belongs to one.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace rpv {

class TLineTextPack;

class TLineText {
 public:
  static constexpr size_t npos = std::string::npos;

  TLineText() noexcept = default;
  explicit TLineText(std::string_view s) { assign(s); }
  TLineText(const TLineText& other) noexcept
      : data_(other.data_), size_(other.size_), offset_(other.offset_) {
    if (data_ != nullptr) Refs(Header()).fetch_add(1, std::memory_order_relaxed);
  }
  TLineText(TLineText&& other) noexcept
      : data_(other.data_), size_(other.size_), offset_(other.offset_) {
    other.data_ = nullptr;
    other.size_ = 0;
    other.offset_ = 0;
  }
  TLineText& operator=(const TLineText& other) noexcept {
    TLineText copy(other);
    swap(copy);
    return *this;
  }
  TLineText& operator=(TLineText&& other) noexcept {
    TLineText moved(std::move(other));
    swap(moved);
    return *this;
  }
  TLineText& operator=(std::string_view s) { return assign(s); }
  TLineText& operator=(const std::string& s) { return assign(std::string_view(s)); }
  TLineText& operator=(const char* s) { return assign(std::string_view(s)); }
  ~TLineText() { Release(); }

  void swap(TLineText& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(offset_, other.offset_);
  }

  // Reading, as std::string.
  size_t size() const noexcept { return size_; }
  size_t length() const noexcept { return size_; }
  bool empty() const noexcept { return size_ == 0; }
  const char* data() const noexcept { return data_ != nullptr ? data_ : ""; }
  const char* begin() const noexcept { return data(); }
  const char* end() const noexcept { return data() + size_; }
  char operator[](size_t i) const noexcept { return data_[i]; }
  char front() const noexcept { return data_[0]; }
  char back() const noexcept { return data_[size_ - 1]; }
  // Bytes the line can take without a new buffer (its own size when shared).
  size_t capacity() const noexcept;
  std::string_view view() const noexcept { return {data(), size_}; }
  operator std::string_view() const noexcept { return view(); }
  operator std::string() const { return std::string(view()); }
  std::string str() const { return std::string(view()); }

  size_t find(std::string_view s, size_t pos = 0) const noexcept { return view().find(s, pos); }
  size_t find(char c, size_t pos = 0) const noexcept { return view().find(c, pos); }
  size_t find(const char* s, size_t pos = 0) const noexcept { return view().find(s, pos); }
  size_t rfind(std::string_view s, size_t pos = npos) const noexcept { return view().rfind(s, pos); }
  size_t rfind(char c, size_t pos = npos) const noexcept { return view().rfind(c, pos); }
  size_t rfind(const char* s, size_t pos = npos) const noexcept { return view().rfind(s, pos); }
  // Throws std::out_of_range for pos > size(), as std::string does.
  std::string substr(size_t pos = 0, size_t n = npos) const { return str().substr(pos, n); }
  int compare(std::string_view s) const noexcept { return view().compare(s); }
  int compare(size_t pos, size_t n, std::string_view s) const { return view().compare(pos, n, s); }
  bool starts_with(std::string_view s) const noexcept { return view().starts_with(s); }
  bool ends_with(std::string_view s) const noexcept { return view().ends_with(s); }

  // Bytes [pos, pos + n) of this line's text as a line text sharing its
  // buffer (no copy). pos past the end gives an empty text.
  TLineText Slice(size_t pos, size_t n = npos) const noexcept;

  // Changing, as std::string (each copies a shared buffer first).
  TLineText& assign(std::string_view s);
  TLineText& assign(const char* s) { return assign(std::string_view(s)); }
  TLineText& assign(size_t n, char c);
  TLineText& append(std::string_view s);
  TLineText& append(const char* s) { return append(std::string_view(s)); }
  TLineText& append(size_t n, char c);
  TLineText& operator+=(std::string_view s) { return append(s); }
  TLineText& operator+=(const char* s) { return append(std::string_view(s)); }
  TLineText& operator+=(char c) { return append(1, c); }
  void push_back(char c) { append(1, c); }
  // Throws std::out_of_range for pos > size(), as std::string does.
  TLineText& insert(size_t pos, std::string_view s);
  TLineText& erase(size_t pos = 0, size_t n = npos);
  // As std::string::resize_and_overwrite (C++23): makes the text n bytes of
  // a buffer of its own (copying a shared one), the first min(size(), n)
  // kept and the rest left unfilled, then calls write(char* data, size_t n),
  // whose result (at most n) becomes the size. Files are read and rewritten
  // in place through it without zero-filling or a second buffer.
  template <class Write>
  void resize_and_overwrite(size_t n, Write write) {
    if (n == 0) {
      clear();
      return;
    }
    if (!Unique() || Header()->capacity - offset_ < n) Reallocate(n, n < size_ ? n : size_);
    size_ = 0;  // nothing counts as written should write throw
    size_ = static_cast<uint32_t>(write(data_, n));
  }
  // Empties the text; a buffer of its own is kept for the next assign.
  void clear() noexcept;
  // Gives back room the text does not use (and a buffer an empty text keeps).
  void shrink_to_fit();

  friend bool operator==(const TLineText& a, std::string_view b) noexcept { return a.view() == b; }
  friend std::ostream& operator<<(std::ostream& out, const TLineText& t) { return out << t.view(); }

 private:
  friend class TLineTextPack;

  // In front of the bytes of every buffer.
  struct Head {
    uint32_t refs;
    uint32_t capacity;
  };
  Head* Header() const noexcept {
    return reinterpret_cast<Head*>(data_ - offset_ - sizeof(Head));
  }
  // The share count is atomic: the lines of one buffer may be sliced and
  // dropped on several threads at once (layout wraps paragraphs in
  // parallel), though one line object still belongs to one thread.
  static std::atomic_ref<uint32_t> Refs(Head* head) noexcept {
    return std::atomic_ref<uint32_t>(head->refs);
  }
  bool Unique() const noexcept {
    return data_ != nullptr && Refs(Header()).load(std::memory_order_acquire) == 1;
  }
  // Drops this line's share of its buffer; the text is then empty.
  void Release() noexcept;
  // A buffer of its own with room for `capacity` bytes holding `keep`
  // bytes of the current text at its start.
  void Reallocate(size_t capacity, size_t keep);
  // Room to write `size` bytes from the buffer start, the first `keep`
  // bytes kept; returns the start.
  char* Writable(size_t size, size_t keep);

  char* data_ = nullptr;  // first byte of the text inside the buffer
  uint32_t size_ = 0;
  uint32_t offset_ = 0;   // of data_ from the buffer's first byte
};

// Puts the texts of many lines into a few large shared buffers. A line that
// conversion rewrote has a buffer of its own, with a header, the allocator's
// overhead and rounding: about 30 bytes beside a text of 80. Taken into the
// pack, it becomes a slice of the pack's current block instead. A block
// lives while any line refers to it; the pack only ever writes past the
// bytes it handed out. One pack belongs to one thread at a time.
class TLineTextPack {
 public:
  // A text with a buffer of its own (not longer than a block) is copied into
  // the pack and becomes a slice of it; its old buffer goes. A shared text
  // (a slice of the file text) or an empty one is left as it is.
  void Take(TLineText& text);

 private:
  static constexpr size_t kFirstBlock = 4096;
  static constexpr size_t kLargestBlock = 65536;
  TLineText block_;  // the block being filled; its size is the bytes used
  size_t next_ = kFirstBlock;  // blocks grow so that a short layout keeps little
};

}  // namespace rpv
