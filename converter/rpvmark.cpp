// rpvmark: converts the old bookmark file "bm.ini" (three lines a bookmark:
// path, date-time, line number) into "bm.csv", both in the current folder.
// It runs once, shows nothing unless a file operation fails, and shares
// nothing with the reader but the bm.csv format, so it includes no project
// code.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace rpv {
namespace {

constexpr const char* kInput = "bm.ini";
constexpr const char* kOutput = "bm.csv";
constexpr const char* kTemp = "bm.csv.tmpXXXXXX";

// A failed file operation: errno and the file it concerned.
struct IoFailure {
  int code;
  const char* file;
};

[[noreturn]] void Fail(const char* file) {
  throw IoFailure{errno != 0 ? errno : EIO, file};
}

// A file or folder of that name, or a link of that name even when it
// dangles (so a link is never followed to create a file elsewhere).
bool NameExists(const char* name) {
  struct stat st;
  return ::lstat(name, &st) == 0;
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now, reporting the error a delayed write may surface here.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

std::string ReadAll(const char* name) {
  Fd fd(::open(name, O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) Fail(name);
  std::string data;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buf, sizeof buf);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(name);
    }
    data.append(buf, static_cast<size_t>(n));
  }
  return data;
}

struct Record {
  std::string path;
  std::string dateTime;
  std::string line;
};

// Three lines a record while any input remains; a record cut short by the
// end of the file gets empty strings. A line ends at LF, with a CR before
// it dropped.
std::vector<Record> ParseRecords(std::string_view text) {
  std::vector<Record> records;
  size_t pos = 0;
  auto readLine = [&]() -> std::string {
    if (pos >= text.size()) return {};
    size_t end = text.find('\n', pos);
    size_t next = end + 1;
    if (end == std::string_view::npos) end = next = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (next != end && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos = next;
    return std::string(line);
  };
  while (pos < text.size()) {
    Record r;
    r.path = readLine();
    r.dateTime = readLine();
    r.line = readLine();
    records.push_back(std::move(r));
  }
  return records;
}

// A quoted field. Quotes are doubled so that a path holding one still reads
// back; text without quotes is copied unchanged.
void AppendField(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

std::string FormatCsv(const std::vector<Record>& records) {
  std::string out;
  for (const Record& r : records) {
    AppendField(out, r.path);
    out += ',';
    AppendField(out, r.line);
    out += ',';
    AppendField(out, r.dateTime);
    out += ",\"\",\"-1\",\"\"\r\n";
  }
  return out;
}

// Writes a temporary file and renames it to bm.csv only when complete, so a
// failure never leaves a partial bm.csv that would also block a retry.
void WriteOutput(const std::string& data) {
  std::string tempName = kTemp;
  Fd fd(::mkstemp(tempName.data()));
  if (fd.get() < 0) Fail(kOutput);
  try {
    if (::fchmod(fd.get(), 0644) != 0) Fail(kOutput);
    size_t done = 0;
    while (done < data.size()) {
      const ssize_t n = ::write(fd.get(), data.data() + done, data.size() - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        Fail(kOutput);
      }
      done += static_cast<size_t>(n);
    }
    if (::fsync(fd.get()) != 0 || !fd.Close()) Fail(kOutput);
    if (::rename(tempName.c_str(), kOutput) != 0) Fail(kOutput);
  } catch (...) {
    ::unlink(tempName.c_str());
    throw;
  }
}

int Run() {
  if (!NameExists(kInput) || NameExists(kOutput)) return 0;
  try {
    try {
      WriteOutput(FormatCsv(ParseRecords(ReadAll(kInput))));
    } catch (const std::bad_alloc&) {
      throw IoFailure{ENOMEM, kInput};
    }
  } catch (const IoFailure& failure) {
    std::fprintf(stderr, "Error: %d (%s: %s)\n", failure.code, failure.file,
                 std::strerror(failure.code));
    // An exit status holds one byte; a code beyond it still reports failure.
    return failure.code > 0 && failure.code < 256 ? failure.code : 1;
  }
  return 0;
}

}  // namespace
}  // namespace rpv

int main() { return rpv::Run(); }
