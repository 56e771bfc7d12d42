#include "archive/ArchiveReader.h"

#include <archive.h>
#include <archive_entry.h>
#include <locale.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "archive/MemberName.h"
#include "platform/FileIO.h"

namespace rpv {

// libarchive converts names through the calling thread's locale. A UTF-8
// locale for the life of the reader makes every name come out as UTF-8,
// whatever locale the user runs (a C or EUC-JP locale would lose them).
// uselocale is per thread and undone in the destructor.
class TArchiveReader::TLocaleScope {
 public:
  TLocaleScope() : utf8_(newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{})) {
    if (utf8_) previous_ = uselocale(utf8_);
  }
  ~TLocaleScope() {
    if (!utf8_) return;
    uselocale(previous_);
    freelocale(utf8_);
  }
  TLocaleScope(const TLocaleScope&) = delete;
  TLocaleScope& operator=(const TLocaleScope&) = delete;

 private:
  locale_t utf8_;
  locale_t previous_ = locale_t{};
};

TArchiveReader::TArchiveReader(TArchiveFormat format)
    : locale_(std::make_unique<TLocaleScope>()), a_(archive_read_new()) {
  switch (format) {
    case TArchiveFormat::Lzh:
      archive_read_support_format_lha(a_);
      archive_read_set_options(a_, "lha:hdrcharset=CP932");
      break;
    case TArchiveFormat::Zip:
      // Unflagged names are CP932; flagged ones stay UTF-8.
      archive_read_support_format_zip(a_);
      archive_read_set_options(a_, "zip:hdrcharset=CP932");
      break;
    case TArchiveFormat::Rar:
      // Unicode names are decoded by the reader; others come through raw.
      archive_read_support_format_rar(a_);
      archive_read_support_format_rar5(a_);
      break;
  }
}

TArchiveReader::~TArchiveReader() {
  archive_read_free(a_);
  a_ = nullptr;
}

bool TArchiveReader::Open(std::string_view cp932Path) {
  // Only a regular file: a FIFO or a folder named like an archive must not
  // block or confuse the reader.
  const std::filesystem::path native = NativePath(cp932Path);
  std::error_code ec;
  if (native.empty() || !std::filesystem::is_regular_file(native, ec) ||
      access(native.c_str(), R_OK) != 0) {
    unreadable_ = true;
    return false;
  }
  if (archive_read_open_filename(a_, native.c_str(), 64 * 1024) != ARCHIVE_OK) {
    broken_ = true;
    return false;
  }
  return true;
}

bool TArchiveReader::Next(TMemberInfo& info) {
  if (broken_ || unreadable_) return false;
  archive_entry* entry = nullptr;
  const int r = archive_read_next_header(a_, &entry);
  if (r == ARCHIVE_EOF) return false;
  // A warning is a name libarchive could not convert: the entry is sound.
  if (r != ARCHIVE_OK && r != ARCHIVE_WARN) {
    broken_ = true;
    return false;
  }
  ++index_;
  if (const char* utf8 = archive_entry_pathname_utf8(entry)) {
    info.FileName = MemberNameFromUtf8(utf8);
  } else if (const char* raw = archive_entry_pathname(entry)) {
    // Bytes that are no UTF-8: a RAR name without the Unicode flag, CP932.
    info.FileName = MemberNameFromCp932(raw);
  } else {
    info.FileName.clear();
  }
  // Never dropped: a member without any name is still offered.
  if (info.FileName.empty()) info.FileName = "[member " + std::to_string(index_) + "]";
  info.Size = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : -1;
  info.Regular = archive_entry_filetype(entry) == AE_IFREG &&
                 archive_entry_hardlink(entry) == nullptr &&
                 archive_entry_symlink(entry) == nullptr;
  info.Encrypted = archive_entry_is_encrypted(entry) != 0;
  return true;
}

TCopyResult TArchiveReader::CopyData(int fd, uint64_t limit) {
  std::vector<char> buffer(256 * 1024);
  uint64_t total = 0;
  for (;;) {
    const la_ssize_t n = archive_read_data(a_, buffer.data(), buffer.size());
    if (n == 0) return TCopyResult::Done;
    if (n < 0) {
      // libarchive has no error number for an encrypted entry it cannot read.
      if (archive_read_has_encrypted_entries(a_) > 0) return TCopyResult::Encrypted;
      return TCopyResult::Broken;
    }
    total += static_cast<uint64_t>(n);
    if (total > limit) return TCopyResult::TooLarge;
    for (la_ssize_t done = 0; done < n;) {
      const ssize_t w = ::write(fd, buffer.data() + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return TCopyResult::WriteFailed;
      done += w;
    }
  }
}

}  // namespace rpv
