#include "platform/XdgDirs.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace rpv {
namespace {

std::filesystem::path AbsoluteEnv(const char* name) {
  const char* v = std::getenv(name);
  if (v == nullptr || v[0] != '/') return {};  // relative values are to be ignored
  return std::filesystem::path(v);
}

// The value of one user-dirs.dirs line: "$HOME/..." or an absolute path, in
// double quotes with shell-style backslash escapes.
std::filesystem::path ParseUserDirValue(std::string_view value) {
  if (value.size() < 2 || value.front() != '"') return {};
  std::string text;
  for (size_t i = 1; i < value.size() && value[i] != '"'; ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) ++i;
    text.push_back(value[i]);
  }
  if (text == "$HOME") return HomeDir();
  if (text.starts_with("$HOME/")) return HomeDir() / text.substr(6);
  if (text.starts_with("/")) return std::filesystem::path(text);
  return {};
}

}  // namespace

std::filesystem::path HomeDir() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
    return std::filesystem::path(home);
  }
  if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
    return std::filesystem::path(pw->pw_dir);
  }
  return std::filesystem::path("/");
}

std::filesystem::path XdgConfigHome() {
  auto p = AbsoluteEnv("XDG_CONFIG_HOME");
  return p.empty() ? HomeDir() / ".config" : p;
}

std::filesystem::path XdgDataHome() {
  auto p = AbsoluteEnv("XDG_DATA_HOME");
  return p.empty() ? HomeDir() / ".local" / "share" : p;
}

std::filesystem::path XdgUserDir(std::string_view name, std::string_view fallbackName) {
  const std::string key = "XDG_" + std::string(name) + "_DIR=";
  std::ifstream in(XdgConfigHome() / "user-dirs.dirs");
  std::string line;
  while (std::getline(in, line)) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
    auto dir = ParseUserDirValue(std::string_view(line).substr(start + key.size()));
    if (!dir.empty()) return dir;
  }
  return HomeDir() / fallbackName;
}

}  // namespace rpv
