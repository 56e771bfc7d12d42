#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Codepage.h"
#include "platform/FileIO.h"
#include "tests/support/TestSupport.h"

using namespace rpv;

TEST(Codepage, RoundTripsJapaneseAndReplacesWhatCp932Lacks) {
  const std::string utf8 = "漢字かなカナ、「表」ｱ~";
  const std::string sjis = Utf8ToCp932(utf8);
  EXPECT_EQ(Cp932ToUtf8(sjis), utf8);
  // "表" is 0x95 0x5C: its trail byte is the ASCII backslash.
  EXPECT_NE(sjis.find("\x95\x5C"), std::string::npos);
  // An emoji and a Korean syllable have no CP932 form.
  EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80\xEA\xB0\x80" "b"), "a??b");
  // Malformed UTF-8: a stray continuation byte and a truncated sequence.
  EXPECT_EQ(Utf8ToCp932("x\x80y\xE3\x81"), "x?y??");
}

TEST(Codepage, Utf16BothOrdersAndLoneSurrogates) {
  const std::string le("\x42\x30\x00\xD8\x61\x00", 6);  // あ, lone high surrogate, a
  EXPECT_EQ(Utf16ToCp932(le, false), "\x82\xA0?a");
  const std::string be("\x30\x42\x00\x61\x00", 5);  // odd trailing byte ignored
  EXPECT_EQ(Utf16ToCp932(be, true), "\x82\xA0" "a");
}

TEST(FileIO, AtomicWriteReplacesAndReadsBack) {
  const test::TTempFolder temp("rpv_fileio_");
  const auto& dir = temp.Native();
  const std::string path = FromNativePath(dir / "日本語.txt");
  ASSERT_TRUE(WriteFileAtomic(path, "first"));
  ASSERT_TRUE(WriteFileAtomic(path, std::string("sec\0ond", 7)));
  EXPECT_EQ(ReadWholeFile(path).value(), std::string("sec\0ond", 7));
  EXPECT_FALSE(ReadWholeFile(FromNativePath(dir / "missing")).has_value());
  // Bytes that are not CP932 never name a file.
  EXPECT_TRUE(NativePath("\x81").empty() || NativePath("\x81\x20").empty());
}

TEST(FileIO, AtomicWriteKeepsSymlinkAndPermissions) {
  const test::TTempFolder temp("rpv_fileio_link_");
  const auto& dir = temp.Native();
  const auto real = dir / "real.ini";
  const auto link = dir / "link.ini";
  ASSERT_TRUE(WriteFileAtomic(FromNativePath(real), "old"));
  std::filesystem::permissions(real, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  std::filesystem::create_symlink(real, link);
  ASSERT_TRUE(WriteFileAtomic(FromNativePath(link), "new"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadWholeFile(FromNativePath(real)).value(), "new");
  EXPECT_EQ(std::filesystem::status(real).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}
