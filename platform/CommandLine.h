// Splitting a command line into program arguments without a shell.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rpv {

// Splits a UTF-8 command line the way a POSIX shell splits simple words:
// blanks (space, tab, newline) separate arguments; '...' keeps its contents
// literally; "..." keeps its contents with \" \\ \$ and \` unescaped; a
// backslash outside quotes takes the next character literally. Nothing is
// expanded (no variables, globs, pipes or redirections). An unterminated
// quote runs to the end of the line.
std::vector<std::string> SplitCommandLine(std::string_view line);

}  // namespace rpv
