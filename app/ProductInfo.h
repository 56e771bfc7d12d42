// Who and what the reader is: the texts of the about box, the help menu and
// the Send To entry (UTF-8 source text). The version comes from the build
// (the project version of CMakeLists.txt), so the package, the about box and
// the help page always agree.
#pragma once

#include <string_view>

#ifndef RPV_VERSION
#define RPV_VERSION "3.0.0"
#endif

namespace rpv {

inline constexpr std::string_view kProductVersion = RPV_VERSION;
inline constexpr std::string_view kAuthorName = "rpv project";
inline constexpr std::string_view kAuthorMail = "rpv@users.noreply.example.org";
inline constexpr std::string_view kHomePage = "https://rpv.example.org/";
inline constexpr std::string_view kSendToDescription = "【瑠頁～るぺい～】へのショートカット";
// The help file, looked for in the settings folder, beside the program and
// in the installed data folder.
inline constexpr std::string_view kHelpFileName = "help.html";

}  // namespace rpv
