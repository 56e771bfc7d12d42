// One archive read member by member through libarchive: the open, find
// first/next and close of the archiver libraries, and the copy of one
// member's data. Names come out as CP932 (MemberName.h): LZH and ZIP names
// without the UTF-8 flag are read as CP932, flagged ZIP names and RAR names
// as the Unicode they are.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct archive;

namespace rpv {

enum class TArchiveFormat { Lzh, Zip, Rar };

struct TMemberInfo {
  std::string FileName;       // CP932, folder parts as stored
  int64_t Size = -1;          // uncompressed size the archive claims; -1 unknown
  bool Regular = false;       // a regular file: no folder, no link (hard or symbolic)
  bool Encrypted = false;
};

enum class TCopyResult { Done, TooLarge, Broken, Encrypted, WriteFailed };

class TArchiveReader {
 public:
  explicit TArchiveReader(TArchiveFormat format);
  ~TArchiveReader();
  TArchiveReader(const TArchiveReader&) = delete;
  TArchiveReader& operator=(const TArchiveReader&) = delete;

  // False when the file cannot be read as an archive of the format.
  bool Open(std::string_view cp932Path);
  // The next member; false at the end and on a broken archive (Broken()
  // tells which).
  bool Next(TMemberInfo& info);
  // The archive ended early or is damaged.
  bool Broken() const { return broken_; }
  // True when the file could not be opened at all (as opposed to broken).
  bool Unreadable() const { return unreadable_; }

  // Writes the data of the member Next gave last to the file descriptor,
  // stopping as soon as it passes limit bytes.
  TCopyResult CopyData(int fd, uint64_t limit);

 private:
  class TLocaleScope;
  std::unique_ptr<TLocaleScope> locale_;
  struct archive* a_ = nullptr;
  size_t index_ = 0;
  bool broken_ = false;
  bool unreadable_ = false;
};

}  // namespace rpv
