#include "import/HtmlAnalysis.h"

#include <algorithm>

#include "import/MbScan.h"
#include "import/Tools.h"
#include "platform/FileIO.h"
#include "platform/Picture.h"

namespace rpv {
namespace {

constexpr bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The end of the tag that starts at tagPos: the first ">" after it, or the
// end of the text. ">" is never a trail byte, so a byte search is safe.
size_t TagEnd(std::string_view text, size_t tagPos) {
  const size_t gt = text.find('>', tagPos + 1);
  return gt == std::string_view::npos ? text.size() : gt;
}

size_t SkipSpaces(std::string_view text, size_t i, size_t end) {
  while (i < end && IsSpace(text[i])) ++i;
  return i;
}

}  // namespace

std::string ReadTagAttribute(std::string_view text, size_t tagPos, std::string_view name) {
  if (tagPos >= text.size() || name.empty()) return {};
  const size_t end = TagEnd(text, tagPos);
  // Step over "<" and the tag name.
  size_t i = tagPos + 1;
  while (i < end && !IsSpace(text[i])) i += mb::Len(text, i);
  while (true) {
    i = SkipSpaces(text, i, end);
    if (i >= end) return {};
    // Attribute name: up to a blank, "=" or the tag end.
    const size_t nameStart = i;
    while (i < end && !IsSpace(text[i]) && text[i] != '=') i += mb::Len(text, i);
    if (i > end) i = end;
    const bool wanted =
        i - nameStart == name.size() && mb::MatchesNoCase(text, nameStart, name);
    i = SkipSpaces(text, i, end);
    if (i >= end || text[i] != '=') {
      if (wanted) return {};  // an attribute without a value
      continue;
    }
    i = SkipSpaces(text, i + 1, end);
    if (i >= end) return {};
    if (wanted) {
      if (text[i] == '"' || text[i] == '\'') ++i;
      const size_t start = i;
      while (i < end && text[i] != '"' && text[i] != '\'') i += mb::Len(text, i);
      return std::string(text.substr(start, std::min(i, end) - start));
    }
    // Step over another attribute's value as HTML reads it.
    if (text[i] == '"' || text[i] == '\'') {
      const char quote = text[i++];
      while (i < end && text[i] != quote) i += mb::Len(text, i);
      ++i;
    } else {
      while (i < end && !IsSpace(text[i])) i += mb::Len(text, i);
    }
  }
}

std::string GetTagAttribute(std::string_view tag, std::string_view attribute, std::string_view text) {
  if (tag.empty()) return {};
  for (size_t i = 0; i < text.size(); i += mb::Len(text, i)) {
    if (text[i] != '<' || !mb::MatchesNoCase(text, i + 1, tag)) continue;
    const size_t after = i + 1 + tag.size();
    if (after < text.size() && !IsSpace(text[after]) && text[after] != '>' && text[after] != '/') {
      continue;  // a longer tag name
    }
    return ReadTagAttribute(text, i, attribute);
  }
  return {};
}

TColor GetTagColour(std::string_view tag, std::string_view attribute, std::string_view text) {
  const std::string colourText = HtmlHexToColourText(GetTagAttribute(tag, attribute, text));
  if (colourText.empty()) return kColorNone;
  return StringToColor(colourText).value_or(kColorNone);
}

THtmlBody ReadHtmlBody(std::string_view text) {
  THtmlBody body;
  body.Text = GetTagColour("BODY", "TEXT", text);
  body.BgColor = GetTagColour("BODY", "BGCOLOR", text);
  body.Background = GetTagAttribute("BODY", "BACKGROUND", text);
  return body;
}

std::string ResolveHtmlFile(std::string_view fileDir, std::string_view value) {
  if (IsAbsolutePath(value) && FileExists(value)) return std::string(value);
  if (fileDir.empty()) return std::string(value);
  return ExpandRelativePath(EnsureTrailingSep(fileDir) + DropLeadingSep(value));
}

std::string BodyBackgroundPath(std::string_view fileDir, std::string_view value) {
  if (value.empty()) return {};
  std::string path = ResolveHtmlFile(fileDir, value);
  if (FileExists(path) && MatchesExtList(path, kPictureExtensions)) return path;
  return {};
}

std::string FileNamePart(std::string_view path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); i += mb::Len(path, i)) {
    if (path[i] == '/' || path[i] == '\\') start = i + 1;
  }
  return std::string(path.substr(start));
}

}  // namespace rpv
