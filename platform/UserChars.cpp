#include "platform/UserChars.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/Codepage.h"
#include "platform/ExeDir.h"
#include "platform/FileIO.h"
#include "platform/UniqueFd.h"

namespace rpv {
namespace {

constexpr std::string_view kHeader =
    "# rpv: characters that Shift_JIS lacks and the user-defined codes (F040-F9FC) they were given.\n"
    "# Only ever appended to: saved paths and bookmarks use these codes.\n";

// A file larger than this is not a table the program wrote (1,880 short lines).
constexpr uintmax_t kMaxFileSize = 1 << 20;

std::optional<uint32_t> Hex(std::string_view s, size_t minDigits, size_t maxDigits) {
  if (s.size() < minDigits || s.size() > maxDigits) return std::nullopt;
  uint32_t v = 0;
  for (const char c : s) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else return std::nullopt;
    v = v << 4 | static_cast<uint32_t>(d);
  }
  return v;
}

// The blank-separated fields of a line.
std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

std::string LineOf(uint16_t code, char32_t cp) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04X U+%04X ", static_cast<unsigned>(code), static_cast<unsigned>(cp));
  return buf + Utf32ToUtf8(std::u32string(1, cp)) + "\n";
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

bool IsUserCharCandidate(char32_t cp) {
  if (cp < 0xA0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFD) return false;
  if ((cp >= 0xFDD0 && cp <= 0xFDEF) || (cp & 0xFFFE) == 0xFFFE) return false;
  return !HasCp932Form(cp);
}

TUserCharTable::TUserCharTable(std::filesystem::path file) : file_(std::move(file)) {}

void TUserCharTable::TakeLine(std::string_view line) {
  const auto f = Fields(line);
  if (f.empty() || f[0].starts_with('#')) return;
  const auto code = Hex(f[0], 4, 4);
  if (!code || !IsUserAreaCode(static_cast<uint16_t>(*code))) return;
  const int index = UserAreaIndex(static_cast<uint16_t>(*code));
  // Whatever else the line says, its code has been given out once.
  if (index >= next_) next_ = index + 1;
  if (f.size() < 3 || !f[1].starts_with("U+") || chars_[static_cast<size_t>(index)] != 0) return;
  const auto cp = Hex(f[1].substr(2), 4, 6);
  if (!cp || !IsUserCharCandidate(*cp) || Utf8ToUtf32(f[2]) != std::u32string(1, *cp)) return;
  chars_[static_cast<size_t>(index)] = *cp;
  codes_.try_emplace(*cp, static_cast<uint16_t>(*code));
}

// Reads the whole lines the file gained since the last read. A file that
// shrank was replaced by hand: it is read again from its start, and what
// this run already gave out stays as it is.
void TUserCharTable::ReadNew(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return;
  const auto size = static_cast<uintmax_t>(st.st_size);
  if (size < read_) read_ = 0;
  if (size > kMaxFileSize) {
    // Codes it names may be past what was read: none can be given safely.
    unreadable_ = true;
    return;
  }
  if (size == read_) return;
  std::string data(size - read_, '\0');
  size_t got = 0;
  while (got < data.size()) {
    const ssize_t n = ::pread(fd, data.data() + got, data.size() - got, static_cast<off_t>(read_ + got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  data.resize(got);
  // A last line without its line feed may still be being written.
  const size_t end = data.rfind('\n');
  if (end == std::string::npos) return;
  std::string_view rest(data.data(), end + 1);
  while (!rest.empty()) {
    const size_t nl = rest.find('\n');
    TakeLine(rest.substr(0, nl));
    rest.remove_prefix(nl + 1);
  }
  read_ += end + 1;
}

void TUserCharTable::ReadNewFromFile() {
  const UniqueFd fd(::open(file_.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() >= 0) ReadNew(fd.get());
}

char32_t TUserCharTable::CharOf(uint16_t code) {
  if (!IsUserAreaCode(code)) return 0;
  const auto index = static_cast<size_t>(UserAreaIndex(code));
  const std::lock_guard lock(mutex_);
  // Another process (or window) may have given the code out since.
  if (chars_[index] == 0 || !loaded_) {
    ReadNewFromFile();
    loaded_ = true;
  }
  return chars_[index];
}

uint16_t TUserCharTable::CodeOf(char32_t cp, bool assign, int limit) {
  if (!IsUserCharCandidate(cp)) return 0;
  const std::lock_guard lock(mutex_);
  if (!loaded_) {
    ReadNewFromFile();
    loaded_ = true;
  }
  if (const auto it = codes_.find(cp); it != codes_.end()) return it->second;
  if (!assign) return 0;
  const UniqueFd fd(::open(file_.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
  if (fd.get() < 0 || ::flock(fd.get(), LOCK_EX) != 0) return 0;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  // A line cut short (a crash, a hand edit) is ended first, so it can
  // never run into the new one; it is read before a code is chosen.
  char last = '\n';
  if (st.st_size > 0 && ::pread(fd.get(), &last, 1, st.st_size - 1) != 1) return 0;
  if (st.st_size == 0 ? !WriteAll(fd.get(), kHeader) : (last != '\n' && !WriteAll(fd.get(), "\n")))
    return 0;
  ReadNew(fd.get());
  if (const auto it = codes_.find(cp); it != codes_.end()) return it->second;
  if (unreadable_ || next_ >= std::min(limit, kUserCharCapacity)) return 0;
  const uint16_t code = UserAreaCode(next_);
  const std::string line = LineOf(code, cp);
  if (!WriteAll(fd.get(), line) || ::fsync(fd.get()) != 0) {
    // Nothing half-written stays behind to be read as a line.
    if (::ftruncate(fd.get(), static_cast<off_t>(read_)) != 0) return 0;
    return 0;
  }
  ReadNew(fd.get());
  const auto it = codes_.find(cp);
  return it != codes_.end() ? it->second : 0;
}

namespace {

// The process's table follows the program's folder: RPV_HOME is read on
// every use, the folder resolved again only when it changed.
class TProcessTable {
 public:
  std::shared_ptr<TUserCharTable> Get() {
    const char* env = std::getenv("RPV_HOME");
    const std::string home = env ? env : "";
    const std::lock_guard lock(mutex_);
    if (!table_ || home != home_) {
      home_ = home;
      // ExeDir's own path never passes through this table.
      table_ = std::make_shared<TUserCharTable>(NativePath(ExeDir(), TUserArea::Off) / kUserCharFileName);
    }
    return table_;
  }

 private:
  std::mutex mutex_;
  std::string home_;
  std::shared_ptr<TUserCharTable> table_;
};

TProcessTable& ProcessTable() {
  static TProcessTable table;
  return table;
}

}  // namespace

uint16_t ProcessUserCharCode(char32_t cp, bool assign, bool forName) {
  if (!IsUserCharCandidate(cp)) return 0;
  return ProcessTable().Get()->CodeOf(cp, assign, forName ? kUserCharCapacity : kUserCharTextLimit);
}

char32_t ProcessUserChar(uint16_t code) {
  if (!IsUserAreaCode(code)) return 0;
  return ProcessTable().Get()->CharOf(code);
}

}  // namespace rpv
