// The in-process archiver that stands behind the three archiver libraries
// ("Unlha32.dll", "Unzip32.dll", "Unrar32.dll"), built on libarchive. It
// offers what the reader calls of those libraries: the version, a command
// line that extracts one member (with the libraries' own switches), and
// open / find first / find next / close (TArchiveReader).
//
// A library is "missing" when its format is switched off: the environment
// variable RPV_ARCHIVERS_OFF lists extensions or library names separated by
// ";" (for example "rar" or "Unzip32.dll;lzh"). Tests use it to reach the
// missing-library path; a user can use it to refuse a format.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "archive/ArchiveReader.h"

namespace rpv {

// The reader's file limit: larger members are never written out (the
// document reader refuses such files too).
inline constexpr uint64_t kMaxMemberSize = uint64_t{512} * 1024 * 1024;

struct TArchiverOptions {
  uint64_t MemberLimit = kMaxMemberSize;
};

struct TArchiverKind {
  std::string_view Extension;        // ".lzh"
  std::string_view LibraryName;      // "Unlha32.dll"
  std::string_view Prefix;           // "Unlha": the command function, and the prefix of the others
  std::string_view CommandTemplate;  // switches, then archive, folder and member in quotes
  TArchiveFormat Format;
};

// The library for an archive path by its extension (ASCII letters in any
// case); null for another extension.
const TArchiverKind* ArchiverForPath(std::string_view archivePath);

// Results of the command function: 0 is success.
enum TArchiverResult : int {
  kArchiverOk = 0,
  kArchiverBadCommand,   // not a command line of this library
  kArchiverCannotOpen,   // the archive file cannot be read
  kArchiverBroken,       // not an archive of this kind, truncated or damaged
  kArchiverNotFound,     // no member of that name
  kArchiverUnsafeName,   // absolute, drive part or ".."
  kArchiverNotRegular,   // a folder or a link
  kArchiverEncrypted,
  kArchiverTooLarge,     // beyond TArchiverOptions::MemberLimit
  kArchiverCannotWrite,  // the destination refused the copy (disk full, ...)
};

class TArchiverLibrary {
 public:
  // The library of that file name (any letter case); null when there is no
  // such library or its format is switched off.
  static std::unique_ptr<TArchiverLibrary> Load(std::string_view libraryName);

  const TArchiverKind& Kind() const { return kind_; }
  // True for the functions the library exports (P, P + "GetVersion",
  // P + "OpenArchive", P + "FindFirst", P + "FindNext", P + "CloseArchive").
  bool HasFunction(std::string_view name) const;
  // The library actually used and its version ("libarchive", "3.6.2").
  static std::string_view Name() { return "libarchive"; }
  std::string Version() const;

  // The command function. On failure output gets the message to show
  // (CP932; empty for a member that is not there or a bad command line).
  int Command(std::string_view commandLine, std::string& output,
              const TArchiverOptions& options = {}) const;

  // Open: a reader positioned before the first member (check Broken()).
  std::unique_ptr<TArchiveReader> OpenArchive(std::string_view archivePath) const;

 private:
  explicit TArchiverLibrary(const TArchiverKind& kind) : kind_(kind) {}
  const TArchiverKind& kind_;
};

}  // namespace rpv
