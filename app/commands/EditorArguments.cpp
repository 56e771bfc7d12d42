#include "app/commands/EditorArguments.h"

namespace rpv {

std::vector<std::string> SplitEditorOption(std::string_view option) {
  std::vector<std::string> args;
  std::string current;
  bool inArgument = false;
  bool quoted = false;
  for (const char c : option) {
    if (c == '"') {
      quoted = !quoted;
      inArgument = true;  // "" is an argument, if an empty one
    } else if (!quoted && (c == ' ' || c == '\t')) {
      if (inArgument) args.push_back(std::move(current));
      current.clear();
      inArgument = false;
    } else {
      current.push_back(c);
      inArgument = true;
    }
  }
  if (inArgument) args.push_back(std::move(current));
  return args;
}

std::vector<std::string> EditorArguments(
    std::string_view option, const std::function<std::string(std::string_view)>& expand) {
  std::vector<std::string> args = SplitEditorOption(option);
  for (std::string& arg : args) arg = expand(arg);
  return args;
}

}  // namespace rpv
