#include "platform/CommandLine.h"

namespace rpv {

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> args;
  std::string current;
  bool inWord = false;
  size_t i = 0;
  const size_t n = line.size();
  while (i < n) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      if (inWord) args.push_back(std::move(current));
      current.clear();
      inWord = false;
      ++i;
      continue;
    }
    inWord = true;
    if (c == '\'') {
      const size_t close = line.find('\'', i + 1);
      const size_t stop = close == std::string_view::npos ? n : close;
      current.append(line.substr(i + 1, stop - i - 1));
      i = stop + 1;
    } else if (c == '"') {
      ++i;
      while (i < n && line[i] != '"') {
        if (line[i] == '\\' && i + 1 < n &&
            (line[i + 1] == '"' || line[i + 1] == '\\' || line[i + 1] == '$' ||
             line[i + 1] == '`')) {
          ++i;
        }
        current.push_back(line[i++]);
      }
      ++i;  // the closing quote, if any
    } else if (c == '\\') {
      if (i + 1 < n) current.push_back(line[i + 1]);
      i += 2;
    } else {
      current.push_back(c);
      ++i;
    }
  }
  if (inWord) args.push_back(std::move(current));
  return args;
}

}  // namespace rpv
