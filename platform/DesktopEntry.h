// Freedesktop .desktop files, the stand-in for Windows shell links.
#pragma once

#include <string>
#include <vector>

namespace rpv {

// One application entry; every text is UTF-8.
struct DesktopEntry {
  std::string name;
  std::string comment;
  std::string program;     // full path of the executable
  std::string workingDir;  // the Path key
  std::vector<std::string> mimeTypes;
};

// The file's text. The program is quoted and escaped so any path survives
// the Exec rules, and takes one file ("%f") as its argument.
std::string DesktopEntryText(const DesktopEntry& entry);

}  // namespace rpv
