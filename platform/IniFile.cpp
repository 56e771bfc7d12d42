#include "platform/IniFile.h"

#include <filesystem>
#include <limits>
#include <system_error>
#include <unordered_set>
#include <utility>

#include "platform/Codepage.h"
#include "platform/FileIO.h"

namespace rpv {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Blanks are all below 0x40, so they are never the trail byte of a
// double-byte character and a byte-wise trim is safe.
std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The name with its ASCII letters in lower case (trail bytes untouched): two
// names match when their folded forms are equal.
std::string FoldName(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); i += CharLen(out, i)) out[i] = LowerAscii(out[i]);
  return out;
}

// Position of the last "]" that is a character of its own (0x5D can be the
// trail byte of a double-byte character), or npos.
size_t LastCloseBracket(std::string_view s) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < s.size(); i += CharLen(s, i))
    if (s[i] == ']') found = i;
  return found;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

// The value as the Windows profile functions return it.
std::string_view DecodeValue(std::string_view raw) {
  std::string_view v = Trim(raw);
  if (v.size() >= 2 && IsQuote(v.front()) && v.back() == v.front()) v = v.substr(1, v.size() - 2);
  return v;
}

// The text to store so that DecodeValue gives the value back.
std::string EncodeValue(std::string_view v) {
  const bool loses = !v.empty() && (IsBlank(v.front()) || IsBlank(v.back()) ||
                                    (v.size() >= 2 && IsQuote(v.front()) && v.back() == v.front()));
  return loses ? "\"" + std::string(v) + "\"" : std::string(v);
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// True when the name ends on a whole character: a lone lead byte at the end
// would take the closing "]" as its trail byte and the header would not read
// back.
bool EndsOnWholeChar(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    if (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 == s.size()) return false;
    i += CharLen(s, i);
  }
  return true;
}

bool ValidSectionName(std::string_view name) {
  const std::string_view n = Trim(name);
  return !n.empty() && !HasLineBreak(name) && EndsOnWholeChar(n);
}

bool ValidKeyName(std::string_view name) {
  const std::string_view k = Trim(name);
  return !k.empty() && !HasLineBreak(name) && k.find('=') == std::string_view::npos &&
         k.front() != ';' && k.front() != '[';
}

}  // namespace

// Compares names ignoring the case of ASCII letters, character by character
// so that the trail byte of a double-byte character is compared exactly.
bool IniNamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size();) {
    if (CharLen(a, i) == 2) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      i += 2;
    } else {
      if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
      ++i;
    }
  }
  return true;
}

int32_t ParseIniInteger(std::string_view text, int32_t def) {
  const std::string_view s = Trim(text);
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int base = 10;
  if (i + 2 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    const char c = s[i + 2];
    if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')) {
      base = 16;
      i += 2;
    }
  }
  auto digit = [base](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (i >= s.size() || digit(s[i]) < 0) return def;
  // Accumulate with a ceiling far above the 32-bit range; the rest of a long
  // digit run only keeps the value saturated.
  constexpr uint64_t kCeiling = uint64_t{1} << 40;
  uint64_t v = 0;
  for (; i < s.size() && digit(s[i]) >= 0; ++i) {
    v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit(s[i]));
    if (v > kCeiling) v = kCeiling;
  }
  constexpr uint64_t kMax = std::numeric_limits<int32_t>::max();
  if (base == 16 && v <= 0xFFFFFFFFu) {
    // Hexadecimal is a 32-bit pattern, as colours are written.
    const auto bits = static_cast<int32_t>(static_cast<uint32_t>(v));
    return negative ? (bits == std::numeric_limits<int32_t>::min() ? bits : -bits) : bits;
  }
  if (negative) return v > kMax + 1 ? std::numeric_limits<int32_t>::min()
                                    : static_cast<int32_t>(-static_cast<int64_t>(v));
  return v > kMax ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(v);
}

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {
  sections_.emplace_back();  // the part before the first header
  const auto native = NativePath(fileName_);
  std::error_code ec;
  if (native.empty() || !std::filesystem::exists(native, ec)) {
    // A missing file is an empty one; a name with no CP932 meaning is never
    // written.
    writable_ = !native.empty();
    return;
  }
  const auto size = std::filesystem::file_size(native, ec);
  if (ec || size > kMaxFileSize) {
    writable_ = false;
    return;
  }
  const auto data = ReadWholeFile(fileName_);
  if (!data) {
    writable_ = false;
    return;
  }
  Parse(*data);
}

void TIniFile::Parse(std::string_view text) {
  if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    bom_ = kUtf8Bom;
    text.remove_prefix(kUtf8Bom.size());
  }
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size()) pos += (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;

    const std::string_view t = Trim(line);
    if (!t.empty() && t.front() == '[') {
      const size_t close = LastCloseBracket(t);
      if (close != std::string_view::npos) {
        Section sec;
        sec.raw = line;
        sec.name = Trim(t.substr(1, close - 1));
        sec.header = true;
        sections_.push_back(std::move(sec));
        continue;
      }
    }
    Entry e;
    e.raw = line;
    const size_t eq = t.find('=');
    if (!t.empty() && t.front() != ';' && eq != std::string_view::npos) {
      e.key = Trim(t.substr(0, eq));
      if (!e.key.empty()) {
        // The value starts after the first "=" of the raw line.
        e.value = line.substr(line.find('=') + 1);
      }
    }
    sections_.back().entries.push_back(std::move(e));
  }
}

const TIniFile::Section* TIniFile::FindSection(std::string_view name) const {
  const std::string_view n = Trim(name);
  for (const Section& s : sections_)
    if (s.header && IniNamesEqual(s.name, n)) return &s;
  return nullptr;
}

TIniFile::Section* TIniFile::FindSection(std::string_view name) {
  return const_cast<Section*>(std::as_const(*this).FindSection(name));
}

size_t TIniFile::FindKey(const Section& section, std::string_view key) {
  const std::string_view k = Trim(key);
  if (k.empty()) return kNone;
  for (size_t i = 0; i < section.entries.size(); ++i) {
    const Entry& e = section.entries[i];
    if (!e.key.empty() && IniNamesEqual(e.key, k)) return i;
  }
  return kNone;
}

const std::string* TIniFile::FindValue(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  if (!s) return nullptr;
  const size_t i = FindKey(*s, key);
  return i == kNone ? nullptr : &s->entries[i].value;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view def) const {
  const std::string* v = FindValue(section, key);
  return std::string(v ? DecodeValue(*v) : def);
}

int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  const std::string* v = FindValue(section, key);
  return v ? ParseIniInteger(DecodeValue(*v), def) : def;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

std::vector<std::string> TIniFile::ReadSections() const {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (const Section& s : sections_)
    if (s.header && !s.name.empty() && seen.insert(FoldName(s.name)).second)
      names.push_back(s.name);
  return names;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> keys;
  const Section* s = FindSection(section);
  if (!s) return keys;
  std::unordered_set<std::string> seen;
  for (const Entry& e : s->entries)
    if (!e.key.empty() && seen.insert(FoldName(e.key)).second) keys.push_back(e.key);
  return keys;
}

bool TIniFile::SectionExists(std::string_view section) const {
  return FindSection(section) != nullptr;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  return FindValue(section, key) != nullptr;
}

bool TIniFile::WriteString(std::string_view section, std::string_view key,
                           std::string_view value) {
  if (!ValidSectionName(section) || !ValidKeyName(key)) return false;
  std::string wanted(value);
  for (char& c : wanted)
    if (c == '\r' || c == '\n') c = ' ';
  Section* s = FindSection(section);
  if (!s) {
    // Keep a blank line between the previous section and the new one.
    const Section& last = sections_.back();
    const bool needBlank = !last.entries.empty() ? !Trim(last.entries.back().raw).empty()
                                                 : last.header;
    if (needBlank) sections_.back().entries.emplace_back();
    Section added;
    added.name = Trim(section);
    added.raw = "[" + added.name + "]";
    added.header = true;
    sections_.push_back(std::move(added));
    s = &sections_.back();
  }
  const size_t found = FindKey(*s, key);
  if (found != kNone) {
    Entry& e = s->entries[found];
    // Rewriting the same value keeps the line as it was.
    if (DecodeValue(e.value) == wanted) return true;
    e.value = EncodeValue(wanted);
    e.raw = e.key + "=" + e.value;
    modified_ = true;
    return true;
  }
  // A new key goes after the last key of the section, so that blank lines
  // and comments ahead of the next section stay where they are.
  size_t at = 0;
  for (size_t i = 0; i < s->entries.size(); ++i)
    if (!s->entries[i].key.empty()) at = i + 1;
  Entry e;
  e.key = Trim(key);
  e.value = EncodeValue(wanted);
  e.raw = e.key + "=" + e.value;
  s->entries.insert(s->entries.begin() + static_cast<std::ptrdiff_t>(at), std::move(e));
  modified_ = true;
  return true;
}

bool TIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  return WriteString(section, key, std::to_string(value));
}

bool TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

void TIniFile::EraseSection(std::string_view section) {
  const std::string_view n = Trim(section);
  const auto removed = std::erase_if(
      sections_, [n](const Section& s) { return s.header && IniNamesEqual(s.name, n); });
  if (removed > 0) modified_ = true;
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  Section* s = FindSection(section);
  const std::string_view k = Trim(key);
  if (!s || k.empty()) return;
  const auto before = s->entries.size();
  std::erase_if(s->entries, [k](const Entry& e) { return !e.key.empty() && IniNamesEqual(e.key, k); });
  if (s->entries.size() != before) modified_ = true;
}

std::string TIniFile::Serialize() const {
  std::string out = bom_;
  for (const Section& s : sections_) {
    if (s.header) out.append(s.raw).append("\r\n");
    for (const Entry& e : s.entries) out.append(e.raw).append("\r\n");
  }
  return out;
}

bool TIniFile::UpdateFile() {
  if (!modified_) return true;
  if (!writable_) return false;
  if (!WriteFileAtomic(fileName_, Serialize())) return false;
  modified_ = false;
  return true;
}

}  // namespace rpv
