// Windows-style profile (INI) files over CP932 text. The file is read once
// into memory; reads come from that copy, changes are made to it and reach
// the disk only through UpdateFile(), which replaces the file atomically.
//
// Matching and parsing follow the Windows profile functions:
// - section and key names are compared ignoring the case of ASCII letters
//   (never of the trail byte of a double-byte character), and blanks around
//   names are ignored;
// - "[name]" starts a section (the last "]" on the line closes the name);
//   "key=value" is a key; a line starting with ";" is a comment; any other
//   line is kept but means nothing; lines before the first section belong to
//   no section;
// - when a section name occurs twice, the first such section is the one read
//   and written;
// - a value is trimmed of blanks and then of one pair of matching quotes
//   (" or '); a value that would lose blanks or quotes that way is written
//   inside an extra pair of double quotes, so it reads back unchanged;
// - line ends CR LF, LF or CR are read, CR LF is written; lines that are not
//   changed are written back byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rpv {

// Reads an integer the way GetPrivateProfileInt does: blanks, an optional
// sign, then leading decimal digits (or "0x" and hexadecimal digits); what
// follows the digits is ignored. Text without digits gives `def`. Numbers
// beyond the 32-bit range saturate at its ends.
int32_t ParseIniInteger(std::string_view text, int32_t def);

// True when two section or key names match: ASCII letters compared without
// case, a double-byte character exactly.
bool IniNamesEqual(std::string_view a, std::string_view b);

class TIniFile {
 public:
  // Loads the file. A missing file is an empty one. A file that exists but
  // cannot be read (or is larger than kMaxFileSize) reads as empty and is
  // never overwritten: UpdateFile() then fails.
  explicit TIniFile(std::string fileName);

  static constexpr uint64_t kMaxFileSize = 64u << 20;

  const std::string& FileName() const { return fileName_; }

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def) const;
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  // Any integer but 0 is true; a value that is not a number gives `def`.
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;

  // Section names in file order, each once, empty names left out.
  std::vector<std::string> ReadSections() const;
  // Key names of the section in file order, each once.
  std::vector<std::string> ReadSection(std::string_view section) const;
  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;

  // Sets a key, creating the section (at the end of the file) and the key
  // (after the last key of the section) when needed. A CR or LF in the value
  // becomes a blank. False, and nothing changes, for a name that cannot be
  // stored: an empty one, one holding CR or LF, a key holding "=" or
  // starting with ";" or "[".
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, int32_t value);
  // Written as 1 or 0.
  bool WriteBool(std::string_view section, std::string_view key, bool value);

  // Removes every section of that name with all its lines.
  void EraseSection(std::string_view section);
  // Removes the key (every line of it) from the section.
  void DeleteKey(std::string_view section, std::string_view key);

  // True when there are changes not yet written.
  bool Modified() const { return modified_; }
  // Writes the changes (temporary file, flush, rename). True when there was
  // nothing to write or the write succeeded; on failure the file on disk is
  // unchanged and the changes stay pending.
  bool UpdateFile();

 private:
  struct Entry {
    std::string raw;    // the line as read or as last written
    std::string key;    // trimmed key name; empty for a line that is no key
    std::string value;  // raw text after "=" (a key line only)
  };
  struct Section {
    std::string raw;   // the header line; empty for the part before any section
    std::string name;  // trimmed name between the brackets
    bool header = false;
    std::vector<Entry> entries;
  };

  void Parse(std::string_view text);
  const Section* FindSection(std::string_view name) const;
  Section* FindSection(std::string_view name);
  static constexpr size_t kNone = static_cast<size_t>(-1);
  // Index of the first entry of the key in the section, or kNone.
  static size_t FindKey(const Section& section, std::string_view key);
  const std::string* FindValue(std::string_view section, std::string_view key) const;
  std::string Serialize() const;

  std::string fileName_;
  std::string bom_;  // a UTF-8 byte order mark found at the start, kept
  std::vector<Section> sections_;  // sections_[0] is the part before any header
  bool modified_ = false;
  bool writable_ = true;
};

}  // namespace rpv
