#include "platform/ExeDir.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <system_error>

#include "platform/FileIO.h"
#include "platform/XdgDirs.h"

namespace rpv {
namespace {

namespace fs = std::filesystem;

std::string WithSep(std::string s) {
  if (s.empty() || s.back() != '/') s.push_back('/');
  return s;
}

// The CP932 name under which the program reaches `folder`. A folder whose
// path has characters CP932 lacks (/home/josé) would come back from CP932 as
// another, missing path; it is then reached through a descriptor kept open
// for the life of the process, as "/proc/self/fd/N/", whose name is plain
// ASCII. So the folder's own path never passes through CP932, nor through
// the user-area table, which is kept in this folder.
std::string ReachableName(const fs::path& folder) {
  const std::string native = WithSep(folder.string());
  const std::string cp932 = FromNativePath(native, TUserArea::Off);
  if (NativePath(cp932, TUserArea::Off).string() == native) return cp932;
  static std::mutex guard;
  static std::map<std::string, int> handles;  // one per folder, never closed
  const std::lock_guard lock(guard);
  auto [it, added] = handles.try_emplace(folder.string(), -1);
  if (added) it->second = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (it->second < 0) {
    handles.erase(it);
    return cp932;
  }
  return "/proc/self/fd/" + std::to_string(it->second) + "/";
}

// A private folder for this run only, when no safe settings folder exists:
// the program works with its defaults and never reads a file someone else
// could have put there.
fs::path PrivateFallback(const fs::path& refused, const std::string& why) {
  std::error_code ec;
  std::string pattern = (fs::temp_directory_path(ec) / "rpv-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) pattern.clear();
  std::fprintf(stderr, "rpv: settings folder %s %s; settings of this run go to %s and are not kept\n",
               refused.c_str(), why.c_str(), pattern.empty() ? "nowhere" : pattern.c_str());
  return pattern.empty() ? fs::path("/nonexistent/") : fs::path(pattern);
}

}  // namespace

// The folders a package manager fills. The program installed there keeps
// its settings in the user's own folder, even when run by root, who could
// write beside it.
bool IsSystemProgramFolder(const fs::path& folder) {
  const std::string f = folder.lexically_normal().string();
  for (const std::string_view system : {"/usr", "/bin", "/sbin"})
    if (f == system || (f.size() > system.size() && f.compare(0, system.size(), system) == 0 &&
                        f[system.size()] == '/'))
      return true;
  return false;
}

std::string SettingsFolderProblem(const fs::path& folder) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return "cannot be made";
  if (!S_ISDIR(st.st_mode)) return "is not a folder";
  if (st.st_uid != ::geteuid()) return "belongs to another user";
  if ((st.st_mode & S_IWOTH) != 0) return "can be written by other users";
  // Group write is harmless only for the user's own private group (umask 002
  // systems make every folder so).
  if ((st.st_mode & S_IWGRP) != 0) {
    const group* g = ::getgrgid(st.st_gid);
    if (st.st_gid != ::getegid() || g == nullptr || (g->gr_mem != nullptr && g->gr_mem[0] != nullptr))
      return "can be written by other users";
  }
  return {};
}

std::string ExecutableFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return WithSep(FromNativePath(std::filesystem::current_path(ec)));
  return WithSep(FromNativePath(exe.parent_path()));
}

std::string ExeDir() {
  fs::path folder;
  std::error_code ec;
  if (const char* home = std::getenv("RPV_HOME"); home && *home) {
    folder = home;
  } else {
    const auto exe = fs::read_symlink("/proc/self/exe", ec);
    const fs::path exeFolder = ec ? fs::path() : exe.parent_path();
    // Portable use: settings beside the program when it is this user's own
    // folder.
    if (!exeFolder.empty() && !IsSystemProgramFolder(exeFolder) &&
        ::access(exeFolder.c_str(), W_OK) == 0 && SettingsFolderProblem(exeFolder).empty())
      return ReachableName(exeFolder);
    // Without HOME the user database gives the home folder, never a shared
    // folder such as /tmp where another user could plant a tool.ini.
    folder = XdgConfigHome() / "rpv";
  }
  if (!fs::exists(folder, ec)) {
    fs::create_directories(folder.parent_path(), ec);
    ::mkdir(folder.c_str(), 0700);
  }
  if (const std::string problem = SettingsFolderProblem(folder); !problem.empty())
    folder = PrivateFallback(folder, problem);
  return ReachableName(folder);
}

}  // namespace rpv
