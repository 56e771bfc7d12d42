// The program's folder, where every settings file lives.
#pragma once

#include <string>

namespace rpv {

// RPV_HOME when set; else the executable's folder when writable; else
// $XDG_CONFIG_HOME/rpv/ (created on first use). CP932, with a trailing "/".
std::string ExeDir();

// The folder of the running executable itself (CP932, trailing "/").
std::string ExecutableFolder();

}  // namespace rpv
