#include "platform/ExeDir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/FileIO.h"

namespace rpv {
namespace {

std::string WithSep(std::string s) {
  if (s.empty() || s.back() != '/') s.push_back('/');
  return s;
}

}  // namespace

std::string ExecutableFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return WithSep(FromNativePath(std::filesystem::current_path(ec)));
  return WithSep(FromNativePath(exe.parent_path()));
}

std::string ExeDir() {
  if (const char* home = std::getenv("RPV_HOME"); home && *home) {
    std::error_code ec;
    std::filesystem::create_directories(home, ec);
    return WithSep(FromNativePath(home));
  }
  const std::string exeFolder = ExecutableFolder();
  if (::access(NativePath(exeFolder).c_str(), W_OK) == 0) return exeFolder;
  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) base = xdg;
  else if (const char* h = std::getenv("HOME"); h && *h) base = std::filesystem::path(h) / ".config";
  else base = "/tmp";
  const auto dir = base / "rpv";
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  return WithSep(FromNativePath(dir));
}

}  // namespace rpv
