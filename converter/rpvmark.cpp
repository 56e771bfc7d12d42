// rpvmark: converts the old bookmark file "bm.ini" (three lines a bookmark:
// path, date-time, line number) into "bm.csv", both in the current folder.
// It runs once and shares nothing with the reader but the bm.csv format, so
// it includes no project code. It writes only records the reader accepts:
// every record it has to leave out is named on standard error, and the exit
// status then says so.
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

// A failed file operation: errno and the file it concerned; `what` replaces
// strerror when the failure is not a system call's.
struct IoFailure {
  int code;
  const char* file;
  const char* what = nullptr;
};

// Exit status when records were left out (sysexits' EX_DATAERR).
constexpr int kSkippedRecords = 65;

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
  // Non-blocking, so a FIFO without a writer cannot stall the open; anything
  // but a regular file is refused before reading (a FIFO or a device would
  // block or never end).
  Fd fd(::open(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) Fail(name);
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) Fail(name);
  if (S_ISDIR(st.st_mode)) throw IoFailure{EISDIR, name};
  if (!S_ISREG(st.st_mode)) throw IoFailure{EINVAL, name, "not a regular file"};
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
  int firstLine = 0;  // 1-based line of the path in bm.ini
  int lines = 0;      // how many of its three lines the file held
};

// The reader's rule for the line number: optional sign and decimal digits,
// within 32 bits, nothing else.
bool IsWholeNumber(std::string_view text) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) ++i;
  if (i == text.size()) return false;
  long long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
    if (value > 2147483648LL) return false;
  }
  return negative || value <= 2147483647LL;
}

// Why the reader would refuse the record, or nullptr when it is fine.
const char* Rejection(const Record& r) {
  if (r.lines < 3) return "cut short by the end of the file";
  if (!IsWholeNumber(r.line)) return "its line number is not a whole number";
  return nullptr;
}

// Three lines a record while any input remains. Blank lines at the very end
// are no record (an editor's trailing newline); a record cut short by the
// end of the file is kept with the count of lines it had. A line ends at LF,
// with a CR before it dropped.
std::vector<Record> ParseRecords(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  std::vector<Record> records;
  size_t pos = 0;
  int lineNumber = 0;
  auto readLine = [&]() -> std::string {
    if (pos >= text.size()) return {};
    ++lineNumber;
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
    r.firstLine = lineNumber + 1;
    r.path = readLine();
    r.dateTime = readLine();
    r.line = readLine();
    r.lines = lineNumber - r.firstLine + 1;
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

// The bm.csv text of the records the reader accepts; each other record is
// named with its line on standard error and counted in *skipped.
std::string FormatCsv(const std::vector<Record>& records, int* skipped) {
  std::string out;
  for (const Record& r : records) {
    if (const char* why = Rejection(r)) {
      std::fprintf(stderr, "Skipped: %s line %d: bookmark \"%s\" %s\n", kInput, r.firstLine,
                   r.path.c_str(), why);
      ++*skipped;
      continue;
    }
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
    // The new name is durable only once the folder is on disk too.
    Fd folder(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) ::fsync(folder.get());
  } catch (...) {
    ::unlink(tempName.c_str());
    throw;
  }
}

int Run() {
  if (!NameExists(kInput) || NameExists(kOutput)) return 0;
  int skipped = 0;
  try {
    try {
      WriteOutput(FormatCsv(ParseRecords(ReadAll(kInput)), &skipped));
    } catch (const std::bad_alloc&) {
      throw IoFailure{ENOMEM, kInput};
    }
  } catch (const IoFailure& failure) {
    std::fprintf(stderr, "Error: %d (%s: %s)\n", failure.code, failure.file,
                 failure.what != nullptr ? failure.what : std::strerror(failure.code));
    // An exit status holds one byte; a code beyond it still reports failure.
    return failure.code > 0 && failure.code < 256 ? failure.code : 1;
  }
  if (skipped > 0) {
    std::fprintf(stderr, "%d bookmark(s) of %s left out of %s\n", skipped, kInput, kOutput);
    return kSkippedRecords;
  }
  return 0;
}

}  // namespace
}  // namespace rpv

int main() { return rpv::Run(); }
