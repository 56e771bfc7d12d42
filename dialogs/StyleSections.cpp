#include "dialogs/StyleSections.h"

#include <algorithm>
#include <optional>

#include "platform/Codepage.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"

namespace rpv {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The file split into lines, each with its own line break (CR LF, LF or CR).
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      end = text.size();
    } else if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
      end += 2;
    } else {
      ++end;
    }
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

// The name of a section header line, as the INI reader sees it ("[" after
// blanks, the last "]" closes the name, blanks around the name dropped), or
// nullopt for any other line.
std::optional<std::string_view> HeaderName(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const size_t close = line.rfind(']');
  if (close == std::string_view::npos || close == 0) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

std::string_view LineBreakOf(std::string_view line) {
  size_t n = 0;
  while (n < line.size() && (line[line.size() - 1 - n] == '\r' || line[line.size() - 1 - n] == '\n'))
    ++n;
  return line.substr(line.size() - n);
}

}  // namespace

bool SameStyleName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size();) {
    const size_t len = CharLen(a, i);
    if (len == 2) {
      if (a.substr(i, 2) != b.substr(i, 2)) return false;
    } else {
      auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
      if (fold(a[i]) != fold(b[i])) return false;
    }
    i += len;
  }
  return true;
}

std::string TrimStyleName(std::string_view name) { return std::string(Trim(name)); }

bool IsNewStyleName(std::string_view name, const std::vector<std::string>& names) {
  name = Trim(name);
  if (name.empty() || name.find_first_of("\r\n") != std::string_view::npos) return false;
  size_t i = 0;
  while (i < name.size()) {
    if (IsLeadByte(static_cast<unsigned char>(name[i])) && i + 1 == name.size()) return false;
    i += CharLen(name, i);
  }
  for (const std::string& existing : names)
    if (SameStyleName(Trim(existing), name)) return false;
  return true;
}

bool RenameStyleSection(std::string_view file, std::string_view oldName,
                        std::string_view newName) {
  const std::optional<std::string> text = ReadWholeFile(file);
  if (!text) return false;
  const std::vector<std::string_view> lines = SplitLines(*text);
  std::string out;
  out.reserve(text->size() + newName.size());
  bool renamed = false;
  for (std::string_view line : lines) {
    const auto name = HeaderName(line);
    if (!renamed && name && *name == oldName) {
      out += '[';
      out += newName;
      out += ']';
      out += LineBreakOf(line);
      renamed = true;
    } else {
      out += line;
    }
  }
  if (!renamed) return true;
  return WriteFileAtomic(file, out);
}

bool DeleteStyleSection(std::string_view file, std::string_view name) {
  TIniFile ini{std::string(file)};
  ini.EraseSection(name);
  return ini.UpdateFile();
}

bool ReorderStyleSections(std::string_view file, const std::vector<std::string>& order) {
  const std::optional<std::string> text = ReadWholeFile(file);
  if (!text) return false;
  // Chunks: the lines before the first header, then one per header with
  // the lines up to the next header.
  struct Chunk {
    std::string text;
    std::optional<std::string> name;
  };
  std::vector<Chunk> chunks(1);
  for (std::string_view line : SplitLines(*text)) {
    if (const auto name = HeaderName(line)) chunks.push_back({std::string(), std::string(*name)});
    chunks.back().text += line;
  }
  // The places of the named sections (the first of each name), in file order.
  std::vector<size_t> places;
  std::vector<const Chunk*> wanted;
  for (const std::string& name : order) {
    for (size_t i = 1; i < chunks.size(); ++i) {
      if (chunks[i].name && *chunks[i].name == name) {
        places.push_back(i);
        wanted.push_back(&chunks[i]);
        break;
      }
    }
  }
  std::vector<size_t> sortedPlaces = places;
  std::sort(sortedPlaces.begin(), sortedPlaces.end());
  std::vector<std::string> texts(chunks.size());
  for (size_t i = 0; i < chunks.size(); ++i) texts[i] = chunks[i].text;
  for (size_t k = 0; k < sortedPlaces.size(); ++k) texts[sortedPlaces[k]] = wanted[k]->text;
  std::string out;
  out.reserve(text->size() + 2 * order.size());
  for (size_t i = 0; i < texts.size(); ++i) {
    out += texts[i];
    // The last section of the file may lack its final line break.
    if (i + 1 < texts.size() && !texts[i].empty() && LineBreakOf(texts[i]).empty()) out += "\r\n";
  }
  if (out == *text) return true;
  return WriteFileAtomic(file, out);
}

}  // namespace rpv
