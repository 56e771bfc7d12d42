#include <gtest/gtest.h>
#include <iconv.h>

#include <array>
#include <filesystem>
#include <optional>

#include "platform/Codepage.h"
#include "platform/FileIO.h"
#include "platform/UserChars.h"
#include "tests/support/TestSupport.h"

using namespace rpv;

TEST(Codepage, RoundTripsJapaneseAndReplacesWhatCp932Lacks) {
  const std::string utf8 = "漢字かなカナ、「表」ｱ~";
  const std::string sjis = Utf8ToCp932(utf8);
  EXPECT_EQ(Cp932ToUtf8(sjis), utf8);
  // "表" is 0x95 0x5C: its trail byte is the ASCII backslash.
  EXPECT_NE(sjis.find("\x95\x5C"), std::string::npos);
  // An emoji and a Korean syllable have no CP932 form of their own.
  EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80\xEA\xB0\x80" "b", TUserArea::Off), "a??b");
  // Malformed UTF-8: a stray continuation byte and a truncated sequence.
  EXPECT_EQ(Utf8ToCp932("x\x80y\xE3\x81"), "x?y??");
}

TEST(Codepage, Utf16BothOrdersAndLoneSurrogates) {
  const std::string le("\x42\x30\x00\xD8\x61\x00", 6);  // あ, lone high surrogate, a
  EXPECT_EQ(Utf16ToCp932(le, false), "\x82\xA0?a");
  const std::string be("\x30\x42\x00\x61\x00", 5);  // odd trailing byte ignored
  EXPECT_EQ(Utf16ToCp932(be, true), "\x82\xA0" "a");
}

namespace {

// One conversion by glibc's converter; nullopt when it refuses the input.
std::optional<std::string> Iconv(iconv_t cd, std::string in) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* inPtr = in.data();
  size_t inLeft = in.size();
  std::array<char, 16> out{};
  char* outPtr = out.data();
  size_t outLeft = out.size();
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
    return std::nullopt;
  return std::string(out.data(), out.size() - outLeft);
}

std::string Utf32Le(char32_t cp) {
  return {static_cast<char>(cp & 0xFF), static_cast<char>((cp >> 8) & 0xFF),
          static_cast<char>((cp >> 16) & 0xFF), 0};
}

// The code point of glibc's UTF-32LE output; U+FFFD when it refused.
char32_t FromUtf32Le(const std::optional<std::string>& s) {
  if (!s || s->size() != 4) return 0xFFFD;
  const auto* u = reinterpret_cast<const unsigned char*>(s->data());
  return static_cast<char32_t>(u[0] | u[1] << 8 | u[2] << 16 | u[3] << 24);
}

}  // namespace

// The built-in tables are glibc's CP932 converter, both ways, for every
// single byte, every lead/trail pair and every code point of the BMP (and a
// few above it); the no-break space, which glibc refuses, becomes a space.
TEST(Codepage, TablesAgreeWithGlibcCp932) {
  const iconv_t dec = iconv_open("UTF-32LE", "CP932");
  const iconv_t enc = iconv_open("CP932", "UTF-32LE");
  if (dec == reinterpret_cast<iconv_t>(-1) || enc == reinterpret_cast<iconv_t>(-1))
    GTEST_SKIP() << "glibc has no CP932 converter here";
  int decodeMismatches = 0;
  for (int first = 1; first < 0x100; ++first) {
    std::vector<std::string> inputs;
    if (IsLeadByte(static_cast<unsigned char>(first))) {
      for (int trail = 0; trail < 0x100; ++trail)
        inputs.push_back({static_cast<char>(first), static_cast<char>(trail)});
    } else {
      inputs.emplace_back(1, static_cast<char>(first));
    }
    for (const std::string& in : inputs) {
      const std::u32string got = Cp932ToUtf32(in, TUserArea::Off);
      // glibc gives the user-defined area to private-use characters; the
      // reader keeps it for its own table.
      const bool userArea =
          in.size() == 2 && IsUserAreaCode(static_cast<uint16_t>(first << 8 | static_cast<unsigned char>(in[1])));
      const char32_t expected = userArea ? 0xFFFD : FromUtf32Le(Iconv(dec, in));
      if ((got.size() != 1 || got[0] != expected) && ++decodeMismatches <= 5)
        ADD_FAILURE() << "decoding " << std::hex << first << " "
                      << (in.size() > 1 ? +static_cast<unsigned char>(in[1]) : 0);
    }
  }
  EXPECT_EQ(decodeMismatches, 0);
  int encodeMismatches = 0;
  for (char32_t cp = 1; cp < 0x10000 + 0x200; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    // The no-break space is the reader's one addition to glibc.
    const bool privateUse = cp >= 0xE000 && cp <= 0xE757;
    const std::string expected = cp == 0xA0 ? " " : privateUse ? "?" : Iconv(enc, Utf32Le(cp)).value_or("?");
    if (CodePointToCp932(cp, TUserArea::Off) != expected && ++encodeMismatches <= 5)
      ADD_FAILURE() << "encoding U+" << std::hex << static_cast<uint32_t>(cp);
  }
  EXPECT_EQ(encodeMismatches, 0);
  iconv_close(dec);
  iconv_close(enc);
  // Characters that have a CP932 form only through their JIS look-alikes.
  // The NBSP is written as an escape: an editor would turn it into a space.
  EXPECT_EQ(Utf8ToCp932("—〜−‖¢£¬\u00A0"), "\x81\x5C\x81\x60\x81\x7C\x81\x61\x81\x91\x81\x92\x81\xCA ");
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
