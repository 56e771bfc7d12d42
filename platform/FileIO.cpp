#include "platform/FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>
#include <system_error>

#include "platform/Codepage.h"

namespace rpv {

std::filesystem::path NativePath(std::string_view cp932Path, TUserArea area) {
  const std::string utf8 = Cp932ToUtf8(cp932Path, area);
  // U+FFFD in the result means some bytes had no meaning in CP932.
  if (utf8.find("\xEF\xBF\xBD") != std::string::npos) return {};
  return std::filesystem::path(utf8);
}

std::string FromNativePath(const std::filesystem::path& path, TUserArea area) {
  return Utf8PathToCp932(path.string(), area);
}

std::optional<std::string> ReadWholeFile(std::string_view cp932Path) {
  const auto native = NativePath(cp932Path);
  if (native.empty()) return std::nullopt;
  std::error_code ec;
  if (std::filesystem::is_directory(native, ec)) return std::nullopt;
  std::ifstream in(native, std::ios::binary);
  if (!in) return std::nullopt;
  std::string data;
  char buf[65536];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) {
    data.append(buf, static_cast<size_t>(in.gcount()));
    if (in.eof()) break;
  }
  if (in.bad()) return std::nullopt;
  return data;
}

bool WriteFileAtomic(std::string_view cp932Path, std::string_view data) {
  auto native = NativePath(cp932Path);
  if (native.empty()) return false;
  // A settings file that is a symbolic link (dotfile managers) stays one: the
  // file it points to is replaced, and it keeps its permissions.
  std::error_code ec;
  if (std::filesystem::is_symlink(native, ec)) {
    const auto target = std::filesystem::canonical(native, ec);
    if (!ec) native = target;
  }
  mode_t mode = 0644;
  struct stat st {};
  if (::stat(native.c_str(), &st) == 0) mode = st.st_mode & 07777;
  std::random_device rd;
  auto tmp = native;
  tmp += ".tmp" + std::to_string(rd() % 1000000);
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (::fchmod(fd, mode) != 0) {
    ::close(fd);
    ::unlink(tmp.c_str());
    return false;
  }
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      ::unlink(tmp.c_str());
      return false;
    }
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    ::unlink(tmp.c_str());
    return false;
  }
  if (std::rename(tmp.c_str(), native.c_str()) != 0) {
    ::unlink(tmp.c_str());
    return false;
  }
  // The rename itself is only durable once the folder is on disk too;
  // without this a power cut may bring back the old file or none.
  const auto folder = native.parent_path().empty() ? std::filesystem::path(".") : native.parent_path();
  if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

int RemoveStaleTemporaries(std::string_view cp932Folder, std::initializer_list<std::string_view> fileNames,
                           std::chrono::seconds minAge) {
  const auto folder = NativePath(cp932Folder);
  if (folder.empty()) return 0;
  std::error_code ec;
  const auto now = std::filesystem::file_time_type::clock::now();
  int removed = 0;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    // "<file>.tmp" + what WriteFileAtomic or mkstemp appends (digits or
    // letters), nothing else: a user's own file is never touched.
    const bool ours = std::any_of(fileNames.begin(), fileNames.end(), [&](std::string_view file) {
      const std::string prefix = std::string(file) + ".tmp";
      if (!name.starts_with(prefix) || name.size() == prefix.size() || name.size() > prefix.size() + 6)
        return false;
      return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                         [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
    });
    std::error_code e2;
    if (!ours || !it->is_regular_file(e2) || it->is_symlink(e2)) continue;
    // A young one may belong to another window saving right now.
    const auto written = it->last_write_time(e2);
    if (e2 || now - written < minAge) continue;
    if (std::filesystem::remove(it->path(), e2)) ++removed;
  }
  return removed;
}

bool FileExists(std::string_view cp932Path) {
  const auto native = NativePath(cp932Path);
  std::error_code ec;
  return !native.empty() && std::filesystem::is_regular_file(native, ec);
}

bool DirectoryExists(std::string_view cp932Path) {
  const auto native = NativePath(cp932Path);
  std::error_code ec;
  return !native.empty() && std::filesystem::is_directory(native, ec);
}

}  // namespace rpv
