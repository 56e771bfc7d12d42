// The reader's own settings file rpv.ini: window placement, options, the
// bookmark menu templates and the file history. Read once at start-up and
// written once at exit. No Qt here, so the rules are testable on their own.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "import/ReadingPosition.h"

namespace rpv {

class TIniFile;

// The file's name in the program's folder.
inline constexpr std::string_view kProgramIniName = "rpv.ini";

// Values of WindowState.
inline constexpr int32_t kWindowNormal = 0;
inline constexpr int32_t kWindowMinimised = 1;
inline constexpr int32_t kWindowMaximised = 2;

// Placement values are read into -limit..limit (Left, Top) and 0..limit
// (Width, Height), far beyond any screen but safe from overflow.
inline constexpr int32_t kPlacementLimit = 1 << 20;

// Bit of EndOpt: move the archive folder to the trash at exit.
inline constexpr int32_t kEndOptDeleteArchive = 1;

struct TProgramSettings {
  bool FullScreen = false;
  int32_t Height = 480;
  int32_t Left = 386;  // the window's designed position
  int32_t Top = 104;
  int32_t Width = 640;
  int32_t WindowState = kWindowNormal;
  std::string EditorName;
  std::string EditorOption = "\"%F\"";
  bool blnLast = true;
  bool AutoEnabled = false;
  uint32_t AutoInterval = 10000;   // ms; compared unsigned
  uint32_t AutoLInterval = 2000;   // ms
  int32_t EndOpt = 0;
  uint8_t BookMarkType = 0;        // key Type: 0 flat list, else grouped by file
  std::string Format1;             // "%c(%d) %b行目"
  std::string Format2Main = "%c";
  std::string Format2Sub;          // "%d %b行目"
  // General/StyleName: the style in use at the last exit, chosen again at
  // start-up (the first style when it is missing or no longer listed).
  std::string StyleName;

  TProgramSettings();

  // Every key of General and BookMarks, in the order start-up reads them; a
  // missing key keeps the default.
  void Read(const TIniFile& ini);
  // Writes every key. The placement (Height, Left, Top, Width) only when
  // writePlacement is set: a maximised or full-screen window keeps the
  // stored windowed placement.
  void Write(TIniFile& ini, bool writePlacement) const;
};

// One entry of the file history.
struct TFileHistory {
  std::string FullPath;  // the file shown (an archive member: the extracted copy)
  int32_t BookMark = -1; // reading position as a source line; -1 none
  std::string Archive;   // the archive the file came from, or empty
  // Visible characters of the BookMark line before the first one shown
  // (key BookMarkOffset; files of older versions lack it: 0).
  int32_t Offset = 0;
  // Every other key of the entry's section (key, raw value), so an entry
  // that moves, or comes from another window's save, keeps keys this code
  // does not read itself.
  std::vector<std::pair<std::string, std::string>> OtherKeys;

  TReadingPosition Position() const { return TReadingPosition{BookMark, Offset}; }
  void SetPosition(const TReadingPosition& p) {
    BookMark = p.Line;
    Offset = p.Offset;
  }

  bool operator==(const TFileHistory&) const = default;
};

inline constexpr int kHistoryCount = 20;
// How many of them the ファイル menu lists.
inline constexpr int kHistoryMenuCount = 10;

// The history: entry 0 is always the document on screen.
class TFileHistoryList {
 public:
  const TFileHistory& operator[](int i) const { return items_[static_cast<size_t>(i)]; }
  TFileHistory& operator[](int i) { return items_[static_cast<size_t>(i)]; }
  static constexpr int Count() { return kHistoryCount; }

  // The reading position stored for the exact (case-sensitive) path; the
  // last matching entry wins. -1 when the path is not listed.
  int32_t PositionOf(std::string_view path) const { return ReadingPositionOf(path).Line; }
  TReadingPosition ReadingPositionOf(std::string_view path) const;

  // Puts (path, position, archive) in front. The entry of the same exact
  // path moves to the front (the last match when there are several); the
  // entries before it move down by one and the rest stay. A new path pushes
  // everything down and the last entry falls off.
  void Add(std::string_view path, const TReadingPosition& position, std::string_view archive);
  void Add(std::string_view path, int32_t position, std::string_view archive) {
    Add(path, TReadingPosition::OfLine(position), archive);
  }

  // Sections FH0 .. FH19 (each key of an entry is a plain key of its
  // section, so copying a whole section carries the entry).
  void Read(const TIniFile& ini);
  // All 20 entries, empty ones too; each section is rewritten whole, so no
  // key of the entry that was there before stays behind.
  void Write(TIniFile& ini) const;

  // The history to save when another window may have saved since this one
  // read the file: this list's own changes (the entries of the paths it put
  // in front with Add) first, then the entries of `onDisk`, then the rest
  // of this list; each path once, at most 20. With nobody else saving, the
  // result equals this list.
  TFileHistoryList MergedWith(const TFileHistoryList& onDisk) const;

  // "FH%d".
  static std::string SectionName(int index);

 private:
  std::array<TFileHistory, kHistoryCount> items_;
  std::vector<std::string> added_;  // paths given to Add since construction
};

}  // namespace rpv
