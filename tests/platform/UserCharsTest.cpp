// The user-defined-area table: its file across restarts, hand edits and
// damage, every conversion going through it, and what a full table does.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/Codepage.h"
#include "platform/FileIO.h"
#include "platform/UserChars.h"
#include "tests/support/TestSupport.h"

using namespace rpv;

namespace {

void Append(const std::filesystem::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary | std::ios::app) << text;
}

std::string Contents(const std::filesystem::path& file) {
  return ReadWholeFile(FromNativePath(file, TUserArea::Off)).value_or("<missing>");
}

}  // namespace

TEST(UserChars, CodesSurviveRestartsAndNoEditOrDamageReassignsOne) {
  const test::TTempFolder temp("rpv_gaiji_");
  const auto file = temp.Native() / kUserCharFileName;
  {
    TUserCharTable table(file);
    EXPECT_EQ(table.CharOf(0xF040), 0u) << "no file yet";
    EXPECT_EQ(table.CodeOf(U'é', false), 0) << "looking up adds nothing";
    EXPECT_EQ(table.CodeOf(U'é', true), 0xF040);
    EXPECT_EQ(table.CodeOf(U'𠮷', true), 0xF041);
    EXPECT_EQ(table.CodeOf(U'é', true), 0xF040);
    EXPECT_EQ(table.CodeOf(U'あ', true), 0) << "CP932 has it";
    EXPECT_EQ(table.CodeOf(0xFFFD, true), 0) << "stands for bytes that meant nothing";
    EXPECT_EQ(table.CharOf(0xF041), U'𠮷');
  }
  const std::string written = Contents(file);

  // A restart reads the same codes.
  {
    TUserCharTable table(file);
    EXPECT_EQ(table.CodeOf(U'𠮷', false), 0xF041);
    EXPECT_EQ(table.CharOf(0xF040), U'é');
  }

  // Hand edits and damage: a line of rubbish; a code whose check character
  // does not match (skipped, its code still taken); an attempt to give é's
  // code to ñ (the first line wins); a second code for é (decodes, é keeps
  // its own); a code with a control character; a last line cut short.
  Append(file, "rubbish\nF045 U+00FC x\nF040 U+00F1 ñ\nF042 U+00E9 é\nF043 U+0001 \x01\nF050 U+1F60");
  {
    TUserCharTable table(file);
    EXPECT_EQ(table.CharOf(0xF040), U'é');
    EXPECT_EQ(table.CodeOf(U'é', false), 0xF040);
    EXPECT_EQ(table.CharOf(0xF042), U'é');
    EXPECT_EQ(table.CharOf(0xF045), 0u);
    EXPECT_EQ(table.CharOf(0xF043), 0u);
    EXPECT_EQ(table.CharOf(0xF050), 0u) << "a line without its line feed is not read";
    // The cut line is ended before anything is added, and its code is
    // never given out.
    EXPECT_EQ(table.CodeOf(U'ñ', true), 0xF051);
  }
  const std::string after = Contents(file);
  EXPECT_EQ(after.substr(0, written.size()), written) << "only ever appended to";
  EXPECT_NE(after.find("F050 U+1F60\nF051 U+00F1 ñ\n"), std::string::npos) << after;

  // Two tables over one file (two windows): each sees what the other added.
  TUserCharTable a(file);
  TUserCharTable b(file);
  EXPECT_EQ(a.CodeOf(U'ü', true), 0xF052);
  EXPECT_EQ(b.CharOf(0xF052), U'ü');
  EXPECT_EQ(b.CodeOf(U'ø', true), 0xF053);
  EXPECT_EQ(a.CodeOf(U'ø', true), 0xF053);

  // A file too large to be the table's gives no new code and stays as it is.
  Append(file, "#" + std::string(1 << 20, 'x') + "\n");
  const std::string big = Contents(file);
  TUserCharTable c(file);
  EXPECT_EQ(c.CodeOf(U'þ', true), 0);
  EXPECT_EQ(Contents(file), big);
}

// Text and file names through the program's own table (RPV_HOME): round
// trips, the exits, and a full table: "?" for text, a name that cannot be
// opened (never another file) for a path.
TEST(UserChars, EveryConversionUsesTheTableAndAFullTableFallsBack) {
  const test::TTempFolder home("rpv_gaiji_home_", test::TTempFolder::SetsHome);
  const std::string utf8 = "café «guillemets» 𠮷 😀";
  const std::string cp932 = Utf8ToCp932(utf8);
  EXPECT_EQ(cp932.find('?'), std::string::npos);
  EXPECT_TRUE(HasUserAreaCode(cp932));
  EXPECT_EQ(Cp932ToUtf8(cp932), utf8);
  EXPECT_EQ(Cp932ToUtf32(cp932), Utf8ToUtf32(utf8));
  const std::string utf16("\xE9\x00\x3D\xD8\x00\xDE", 6);  // é 😀
  EXPECT_EQ(Utf16ToCp932(utf16, false), Utf8ToCp932("é😀"));
  EXPECT_EQ(CodePointToCp932(U'𠮷'), Utf8ToCp932("𠮷"));
  // Without the table: as CP932 alone.
  EXPECT_EQ(Utf8ToCp932("é", TUserArea::Off), "?");
  EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932("é"), TUserArea::Off), "\xEF\xBF\xBD");
  // A code the table never gave out names no character, and no file.
  EXPECT_EQ(Cp932ToUtf8("\xF9\xFC"), "\xEF\xBF\xBD");
  EXPECT_TRUE(NativePath("/tmp/\xF9\xFC.txt").empty());

  // A file name with characters CP932 lacks names that file.
  const auto cafe = home.Native() / "café.txt";
  std::ofstream(cafe) << "x";
  const std::string path = FromNativePath(cafe);
  EXPECT_EQ(NativePath(path), cafe);
  EXPECT_TRUE(FileExists(path));
  EXPECT_EQ(ReadWholeFile(path).value_or(""), "x");

  // Tables filled by text up to its share, and to the end, in other
  // program folders.
  auto filled = [](const test::TTempFolder& folder, int count) {
    std::string lines;
    for (int i = 0; i < count; ++i) {
      const char32_t cp = 0x20000 + static_cast<char32_t>(i);
      char buf[32];
      std::snprintf(buf, sizeof buf, "%04X U+%05X ", UserAreaCode(i), static_cast<unsigned>(cp));
      lines += buf + Utf32ToUtf8(std::u32string(1, cp)) + "\n";
    }
    Append(folder.Native() / kUserCharFileName, lines);
    std::ofstream(folder.Native() / "?.txt") << "another file";
  };
  const test::TTempFolder textFull("rpv_gaiji_text_");
  filled(textFull, kUserCharTextLimit);
  {
    const test::TEnvVar other("RPV_HOME", textFull.Native().string());
    EXPECT_EQ(Utf8ToCp932("aüb"), "a?b");
    EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932("\U00020000")), "\U00020000") << "what it holds still works";
    const std::string name = FromNativePath(textFull.Native() / "ü.txt");
    EXPECT_EQ(NativePath(name), textFull.Native() / "ü.txt") << "names have a row of their own";
  }
  const test::TTempFolder full("rpv_gaiji_full_");
  filled(full, kUserCharCapacity);
  {
    const test::TEnvVar other("RPV_HOME", full.Native().string());
    const std::string name = FromNativePath(full.Native() / "ü.txt");
    EXPECT_TRUE(NativePath(name).empty());
    EXPECT_FALSE(FileExists(name)) << "never ?.txt";
  }
  // Back in the first folder: the same codes as before.
  EXPECT_EQ(Utf8ToCp932(utf8), cp932);
}
