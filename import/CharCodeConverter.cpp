#include "import/CharCodeConverter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>

#include "import/MbScan.h"
#include "import/ReadError.h"
#include "platform/Codepage.h"
#include "platform/FileIO.h"

namespace rpv {
namespace {

constexpr off_t kMaxFileSize = static_cast<off_t>(kMaxTextFileSize);

constexpr unsigned char kEsc = 0x1B;

std::string MemoryMessage() { return Utf8ToCp932("メモリを確保出来ませんでした。"); }

std::string OpenMessage(std::string_view fileName) {
  std::string message = "\"";
  message.append(fileName);
  message += Utf8ToCp932("\"は開けません。");
  return message;
}

bool Contains(std::string_view text, std::string_view what) {
  return text.find(what) != std::string_view::npos;
}

// True when the text is entirely well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF) and has at least one multi-byte
// sequence. Plain ASCII is skipped eight bytes at a time.
bool IsMultibyteUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = p + text.size();
  bool multibyte = false;
  while (p < end) {
    if (end - p >= 8) {
      uint64_t word;
      std::memcpy(&word, p, 8);
      if ((word & 0x8080808080808080ULL) == 0) {
        p += 8;
        continue;
      }
    }
    const unsigned char b = *p;
    if (b < 0x80) {
      ++p;
      continue;
    }
    multibyte = true;
    // Japanese text is mostly three-byte sequences: test those first.
    if (b >= 0xE1 && b <= 0xEF && b != 0xED) {
      if (end - p < 3 || (p[1] & 0xC0) != 0x80 || (p[2] & 0xC0) != 0x80) return false;
      p += 3;
      continue;
    }
    int len;
    unsigned char lo = 0x80, hi = 0xBF;  // bounds of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
      len = 2;
    } else if (b == 0xE0) {
      len = 3;
      lo = 0xA0;  // overlong
    } else if (b == 0xED) {
      len = 3;
      hi = 0x9F;  // surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
      len = 4;
      if (b == 0xF0)
        lo = 0x90;  // overlong
      else if (b == 0xF4)
        hi = 0x8F;  // above U+10FFFF
    } else {
      return false;
    }
    if (end - p < len) return false;
    if (p[1] < lo || p[1] > hi) return false;
    for (int k = 2; k < len; ++k) {
      if ((p[k] & 0xC0) != 0x80) return false;
    }
    p += len;
  }
  return multibyte;
}

bool HasJisEscape(std::string_view text) {
  for (size_t i = text.find(static_cast<char>(kEsc)); i != std::string_view::npos;
       i = text.find(static_cast<char>(kEsc), i + 1)) {
    const std::string_view rest = text.substr(i + 1);
    if (rest.starts_with("$@") || rest.starts_with("$B") || rest.starts_with("&@\x1B$B") ||
        rest.starts_with("$(D")) {
      return true;
    }
  }
  return false;
}

bool HasSjisOnlyLeadByte(std::string_view text) {
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x81 && b <= 0x9F) return true;
  }
  return false;
}

// Writes the CP932 form of a JIS pair to out[0..1].
inline void PutJisPair(unsigned char j1, unsigned char j2, char* out) {
  // 8-bit arithmetic throughout, as the mapping is defined.
  auto s2 = static_cast<unsigned char>((j1 & 1) ? j2 + 0x1F : j2 + 0x7D);
  if (s2 > 0x7E) s2 = static_cast<unsigned char>(s2 + 1);
  const auto s1 = static_cast<unsigned char>(((j1 + 1) >> 1) + (j1 < 0x5F ? 0x70 : 0xB0));
  out[0] = static_cast<char>(s1);
  out[1] = static_cast<char>(s2);
}

// The UTF-16 units from byte 2 up to the first zero unit.
std::string_view Utf16Body(std::string_view bytes) {
  size_t end = 2;
  while (end + 1 < bytes.size() && (bytes[end] != 0 || bytes[end + 1] != 0)) end += 2;
  return bytes.substr(2, end - 2);
}

// The text of a file's bytes: up to the first zero byte.
std::string_view TextPart(std::string_view bytes) { return bytes.substr(0, bytes.find('\0')); }

// A Shift_JIS file's own user-defined characters (lead bytes 0xF0-0xF9)
// were drawn by its writer's private font, which the reader does not have;
// here that area holds the program's table of characters CP932 lacks, so
// the file's codes would show unrelated characters. Each becomes "〓", the
// typesetter's mark for a character that cannot be set. Broken JIS text can
// land in the area too.
std::string WithoutUserArea(std::string text) {
  auto* p = reinterpret_cast<unsigned char*>(text.data());
  const size_t n = text.size();
  for (size_t i = 0; i < n;) {
    const unsigned char b = p[i];
    if (b < 0x81) {
      ++i;
    } else if (!IsLeadByte(b) || i + 1 == n || !mb::IsTrailByte(p[i + 1])) {
      ++i;
    } else {
      if (b >= 0xF0 && b <= 0xF9) {
        p[i] = 0x81;
        p[i + 1] = 0xAC;
      }
      i += 2;
    }
  }
  return text;
}

// The CP932 form of a text in the given encoding; `bytes` is the whole
// data, which UTF-16 needs because its text may hold zero bytes.
std::string ConvertToSjis(int code, std::string_view text, std::string_view bytes) {
  switch (code) {
    case ccShiftJis: return WithoutUserArea(std::string(text));
    case ccJis: return WithoutUserArea(JisToSjis(text));
    case ccUtf8Bom: return Utf8ToCp932(text.substr(3));
    case ccUtf8: return Utf8ToCp932(text);
    case ccUtf16Le: return Utf16ToCp932(Utf16Body(bytes), false);
    case ccUtf16Be: return Utf16ToCp932(Utf16Body(bytes), true);
    default: return EucToSjis(text);
  }
}

}  // namespace

std::string JisPairToSjis(unsigned char j1, unsigned char j2) {
  std::string out(2, '\0');
  PutJisPair(j1, j2, out.data());
  return out;
}

int DetectCharCode(std::string_view text) {
  if (text.empty()) return ccEuc;
  if (text.starts_with("\xFF\xFE")) return ccUtf16Le;
  if (text.starts_with("\xFE\xFF")) return ccUtf16Be;
  if (text.starts_with("\xEF\xBB\xBF")) return ccUtf8Bom;
  if (Contains(text, "\xE3\x80\x80")) return ccUtf8;
  // Most text files on Linux are UTF-8 without a mark: a text that decodes
  // cleanly and has non-ASCII characters is taken as such. Shift_JIS and
  // EUC-JP text practically never forms valid UTF-8 throughout, and JIS text
  // is pure 7-bit so it never reaches this rule's "multi-byte" condition.
  if (IsMultibyteUtf8(text)) return ccUtf8;
  if (HasJisEscape(text)) return ccJis;
  return HasSjisOnlyLeadByte(text) ? ccShiftJis : ccEuc;
}

std::string EucToSjis(std::string_view text) {
  std::string out(text.size() + 1, '\0');
  char* o = out.data();
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = p + text.size();
  while (p < end) {
    const unsigned char b = *p;
    if (b <= 0xA0 || b == 0xFF) {
      *o++ = static_cast<char>(b);
      ++p;
      continue;
    }
    // A first byte at the very end pairs with the terminating zero.
    const unsigned char second = p + 1 < end ? p[1] : 0;
    PutJisPair(b & 0x7F, second & 0x7F, o);
    o += 2;
    p += 2;
  }
  out.resize(static_cast<size_t>(o - out.data()));
  return out;
}

std::string JisToSjis(std::string_view text) {
  std::string out(text.size() + 1, '\0');
  char* o = out.data();
  const size_t n = text.size();
  auto byte = [&](size_t i) -> unsigned char {
    return i < n ? static_cast<unsigned char>(text[i]) : 0;
  };
  size_t i = 0;
  while (i < n) {
    if (byte(i) != kEsc) {
      *o++ = text[i++];
      continue;
    }
    if (byte(i + 1) == '$') {
      // ESC $ x opens a double-byte segment that lasts to the next ESC.
      i += 3;
      while (i < n && byte(i) != kEsc) {
        PutJisPair(byte(i), byte(i + 1), o);
        o += 2;
        i += 2;
      }
      continue;
    }
    // Any other escape is three bytes; the byte after it is plain text,
    // unless it starts the next escape (as in ESC & @ ESC $ B).
    i += 3;
    if (i < n && byte(i) != kEsc) *o++ = text[i++];
  }
  out.resize(static_cast<size_t>(o - out.data()));
  return out;
}

std::string BytesToSjis(std::string_view bytes) {
  const std::string_view text = TextPart(bytes);
  return ConvertToSjis(DetectCharCode(text), text, bytes);
}

TLineText ReadTextFile(std::string_view fileName) {
  const auto native = NativePath(fileName);
  if (native.empty()) throw TReadError(OpenMessage(fileName));
  // O_NONBLOCK keeps a FIFO from blocking the open; only regular files go on.
  const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw TReadError(OpenMessage(fileName));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) throw TReadError(OpenMessage(fileName));
  if (st.st_size > kMaxFileSize) throw TReadError(MemoryMessage());

  try {
    // Read straight into the buffer the document keeps, unfilled: a
    // Shift_JIS file's bytes become its text without a copy.
    TLineText data;
    bool complete = true;
    data.resize_and_overwrite(static_cast<size_t>(st.st_size), [&](char* bytes, size_t n) {
      size_t got = 0;
      while (got < n) {
        const ssize_t r = ::read(fd, bytes + got, n - got);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) {
          complete = false;
          break;
        }
        got += static_cast<size_t>(r);
      }
      return got;
    });
    if (!complete) return {};  // shorter than its size said: empty text
    const std::string_view text = TextPart(data);
    const int code = DetectCharCode(text);
    if (code == ccShiftJis) {
      data.erase(text.size());
      return data;
    }
    // Other encodings are converted into a new text; the bytes read go
    // before it is copied into a line text, so the peak stays two texts.
    const std::string converted = ConvertToSjis(code, text, data);
    data = TLineText();
    return TLineText(converted);
  } catch (const std::bad_alloc&) {
    throw TReadError(MemoryMessage());
  } catch (const std::length_error&) {
    throw TReadError(MemoryMessage());
  }
}

}  // namespace rpv
