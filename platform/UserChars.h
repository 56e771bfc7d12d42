// The user-defined-area table: characters that CP932 cannot carry (é, 𠮷,
// emoji, a file name's ü) get a code of CP932's user-defined area, lead
// bytes 0xF0-0xF9, 1,880 codes in all, so they live in the program's CP932
// strings like any other double-byte character. The table is kept in a
// small file in the program's folder, only ever appended to, so a path
// saved in rpv.ini or bm.csv names the same file in the next run.
// platform/Codepage.cpp consults it in every conversion; nothing else needs to.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <unordered_map>

namespace rpv {

// The table file's name in the program's folder.
inline constexpr const char* kUserCharFileName = "gaiji.txt";

// Codes 0..kUserCharCapacity-1 of the area, in order: F040..F07E, F080..F0FC,
// F140 ... F9FC.
inline constexpr int kUserCharCapacity = 1880;
// Text takes codes only up to here; the last row (F9xx) is kept for file
// names, so one book full of characters Shift_JIS lacks (or a binary file
// read as UTF-16) can never leave a file name without a code.
inline constexpr int kUserCharTextLimit = kUserCharCapacity - 188;
constexpr bool IsUserAreaCode(uint16_t code) {
  const int lead = code >> 8;
  const int trail = code & 0xFF;
  return lead >= 0xF0 && lead <= 0xF9 && trail >= 0x40 && trail <= 0xFC && trail != 0x7F;
}
constexpr int UserAreaIndex(uint16_t code) {
  const int trail = code & 0xFF;
  return ((code >> 8) - 0xF0) * 188 + (trail < 0x7F ? trail - 0x40 : trail - 0x41);
}
constexpr uint16_t UserAreaCode(int index) {
  const int t = index % 188;
  return static_cast<uint16_t>((0xF0 + index / 188) << 8 | (t < 63 ? 0x40 + t : 0x41 + t));
}

// One table over one file. Thread-safe; several processes may share the
// file (an assignment locks it and first reads what the others appended).
// A line of the file is "F040 U+00E9 é": the code, the code point, and the
// character itself as a check. Lines that do not read so (hand-edited,
// damaged, truncated) are skipped; a code once written is never given out
// again, even when its line is skipped, and the first line for a code wins.
class TUserCharTable {
 public:
  explicit TUserCharTable(std::filesystem::path file);

  // The code of cp, or 0 when it has none; with assign, a character without
  // one gets the next free code below `limit`, written to the file first
  // (0 when there is none, cp cannot be held, or the file cannot be written).
  uint16_t CodeOf(char32_t cp, bool assign, int limit = kUserCharCapacity);
  // The character of a code, or 0 when the code is not given out.
  char32_t CharOf(uint16_t code);

  const std::filesystem::path& File() const { return file_; }

 private:
  void ReadNew(int fd);
  void ReadNewFromFile();
  void TakeLine(std::string_view line);

  std::mutex mutex_;
  std::filesystem::path file_;
  uintmax_t read_ = 0;  // bytes of the file read so far (whole lines)
  bool loaded_ = false;
  int next_ = 0;        // the next free index: past every code the file named
  bool unreadable_ = false;  // the file is too large to be the table's: no new codes
  std::array<char32_t, kUserCharCapacity> chars_{};
  std::unordered_map<char32_t, uint16_t> codes_;
};

// True for a character the table may hold: a character CP932 lacks, not a
// control, surrogate, noncharacter or U+FFFD (which stands for bytes that
// meant nothing).
bool IsUserCharCandidate(char32_t cp);

// The process's own table, over kUserCharFileName in ExeDir (followed when
// RPV_HOME changes, as tests do). What platform/Codepage.cpp uses; a file
// name (forName) may take the codes kept back from text.
uint16_t ProcessUserCharCode(char32_t cp, bool assign, bool forName);
char32_t ProcessUserChar(uint16_t code);

}  // namespace rpv
