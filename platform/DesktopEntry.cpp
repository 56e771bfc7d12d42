#include "platform/DesktopEntry.h"

namespace rpv {
namespace {

// The general escapes of a string value.
std::string EscapeValue(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case ' ': out += i == 0 ? "\\s" : " "; break;  // a leading blank would be trimmed
      default: out.push_back(c);
    }
  }
  return out;
}

// One Exec argument: always quoted, with the characters that stay special
// inside quotes escaped, and "%" doubled so it is no field code.
std::string QuoteExecArgument(std::string_view arg) {
  std::string out = "\"";
  for (const char c : arg) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (c == '%') {
      out += "%%";
    } else {
      out.push_back(c);
    }
  }
  out.push_back('"');
  return out;
}

}  // namespace

std::string DesktopEntryText(const DesktopEntry& entry) {
  std::string text = "[Desktop Entry]\nType=Application\nVersion=1.0\n";
  text += "Name=" + EscapeValue(entry.name) + "\n";
  if (!entry.comment.empty()) text += "Comment=" + EscapeValue(entry.comment) + "\n";
  text += "Exec=" + EscapeValue(QuoteExecArgument(entry.program)) + " %f\n";
  if (!entry.workingDir.empty()) text += "Path=" + EscapeValue(entry.workingDir) + "\n";
  text += "Terminal=false\n";
  if (!entry.mimeTypes.empty()) {
    text += "MimeType=";
    for (const std::string& m : entry.mimeTypes) text += m + ";";
    text += "\n";
  }
  return text;
}

}  // namespace rpv
