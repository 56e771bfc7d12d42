// The program's folder, where every settings file lives.
#pragma once

#include <filesystem>
#include <string>

namespace rpv {

// RPV_HOME when set; else the executable's folder when writable and this
// user's own; else $XDG_CONFIG_HOME/rpv/ (~ from the user database when HOME
// is unset), created with mode 0700. A folder that another user owns or can
// write is never used: a private folder for this run replaces it, with a
// message on standard error. CP932 with a trailing "/"; a folder whose path
// CP932 cannot hold is given as "/proc/self/fd/N/".
std::string ExeDir();

// Why the folder must not hold settings (missing, not a folder, another
// user's, writable by others), or empty when it is fine.
std::string SettingsFolderProblem(const std::filesystem::path& folder);
// True for the folders a package manager fills (/usr and below, /bin,
// /sbin): a program there never keeps its settings beside itself.
bool IsSystemProgramFolder(const std::filesystem::path& folder);

// The folder of the running executable itself (CP932, trailing "/").
std::string ExecutableFolder();

}  // namespace rpv
