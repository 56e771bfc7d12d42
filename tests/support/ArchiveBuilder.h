// Archives made by the tests themselves with libarchive's writer: ZIP files
// with Shift_JIS or UTF-8 names, links, encryption, and raw byte patches
// (a member that claims a size it does not have).
#pragma once

#include <archive.h>
#include <archive_entry.h>
#include <locale.h>

#include <string>
#include <string_view>
#include <vector>

namespace rpv::test {

struct TZipMember {
  std::string Name;      // UTF-8; written in the archive's name charset
  std::string Data;
  std::string Symlink;   // non-empty: a symbolic link to this target
};

// A ZIP of the members. options are libarchive writer options, for example
// "zip:hdrcharset=CP932" (names in Shift_JIS, no UTF-8 flag),
// "zip:hdrcharset=UTF-8" (UTF-8 flag) or "zip:encryption=zipcrypt" (then
// passphrase is used).
inline std::string MakeZip(const std::vector<TZipMember>& members, std::string_view options = {},
                           const char* passphrase = nullptr) {
  // Names are given as UTF-8: the writer converts from the thread's locale.
  const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  const locale_t previous = utf8 ? uselocale(utf8) : locale_t{};
  std::string out;
  archive* a = archive_write_new();
  archive_write_set_format_zip(a);
  if (!options.empty()) archive_write_set_options(a, std::string(options).c_str());
  if (passphrase) archive_write_set_passphrase(a, passphrase);
  archive_write_open(
      a, &out, nullptr,
      [](archive*, void* data, const void* buffer, size_t length) -> la_ssize_t {
        static_cast<std::string*>(data)->append(static_cast<const char*>(buffer), length);
        return static_cast<la_ssize_t>(length);
      },
      nullptr);
  for (const TZipMember& m : members) {
    archive_entry* e = archive_entry_new();
    archive_entry_set_pathname(e, m.Name.c_str());
    if (m.Symlink.empty()) {
      archive_entry_set_filetype(e, AE_IFREG);
      archive_entry_set_size(e, static_cast<la_int64_t>(m.Data.size()));
    } else {
      archive_entry_set_filetype(e, AE_IFLNK);
      archive_entry_set_symlink(e, m.Symlink.c_str());
    }
    archive_entry_set_perm(e, 0644);
    archive_write_header(a, e);
    if (!m.Data.empty()) archive_write_data(a, m.Data.data(), m.Data.size());
    archive_entry_free(e);
  }
  archive_write_close(a);
  archive_write_free(a);
  if (utf8) {
    uselocale(previous);
    freelocale(utf8);
  }
  return out;
}

// Overwrites the uncompressed size of every local and central header of a
// ZIP made by MakeZip with claimed (a member that lies about its size).
inline void ClaimZipSize(std::string& zip, uint32_t claimed) {
  auto put = [&zip, claimed](size_t at) {
    for (int k = 0; k < 4; ++k) zip[at + k] = static_cast<char>((claimed >> (8 * k)) & 0xFF);
  };
  for (size_t i = 0; i + 30 < zip.size(); ++i) {
    if (zip.compare(i, 4, "PK\x03\x04") == 0) put(i + 22);
    if (zip.compare(i, 4, "PK\x01\x02") == 0) put(i + 24);
    if (zip.compare(i, 4, "PK\x07\x08") == 0) put(i + 12);
  }
}

}  // namespace rpv::test
