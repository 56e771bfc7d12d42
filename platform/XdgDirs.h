// The freedesktop base and user folders, the stand-ins for the Windows
// shell's special folders. Each reads the environment when called.
#pragma once

#include <filesystem>
#include <string_view>

namespace rpv {

// $HOME, else the password database entry, else "/".
std::filesystem::path HomeDir();
// $XDG_CONFIG_HOME when absolute, else ~/.config.
std::filesystem::path XdgConfigHome();
// $XDG_DATA_HOME when absolute, else ~/.local/share.
std::filesystem::path XdgDataHome();
// A folder from $XDG_CONFIG_HOME/user-dirs.dirs such as "DESKTOP" or
// "DOCUMENTS" (the XDG_<name>_DIR line); home / fallbackName when the file
// or the line is missing or unusable.
std::filesystem::path XdgUserDir(std::string_view name, std::string_view fallbackName);

}  // namespace rpv
