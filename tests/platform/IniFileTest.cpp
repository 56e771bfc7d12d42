#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <limits>
#include <random>

#include "platform/Codepage.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "tests/support/TestSupport.h"

using namespace rpv;

namespace {

class IniFileTest : public ::testing::Test {
 protected:

  void Put(std::string_view text) { ASSERT_TRUE(WriteFileAtomic(path_, text)); }
  std::string Get() const { return ReadWholeFile(path_).value_or("<missing>"); }

  const test::TTempFolder temp_{"rpv_ini_"};
  const std::string path_ = temp_.Path("test.ini");
};

}  // namespace

TEST(ParseIniInteger, LeadingDigitsSignsAndOverflow) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  EXPECT_EQ(ParseIniInteger(" 12abc", -1), 12);
  EXPECT_EQ(ParseIniInteger("-5", -1), -5);
  EXPECT_EQ(ParseIniInteger("+7", -1), 7);
  EXPECT_EQ(ParseIniInteger("12 34", -1), 12);
  EXPECT_EQ(ParseIniInteger("abc", -1), -1);
  EXPECT_EQ(ParseIniInteger("", -1), -1);
  EXPECT_EQ(ParseIniInteger("-", -1), -1);
  EXPECT_EQ(ParseIniInteger("--5", -1), -1);
  EXPECT_EQ(ParseIniInteger("\x82\x50", -1), -1);  // a full-width digit is no digit
  EXPECT_EQ(ParseIniInteger("-2147483648", -1), kMin);
  EXPECT_EQ(ParseIniInteger("2147483648", -1), kMax);
  EXPECT_EQ(ParseIniInteger("99999999999999999999", -1), kMax);
  EXPECT_EQ(ParseIniInteger("-99999999999999999999999999999999", -1), kMin);
  EXPECT_EQ(ParseIniInteger("0x1F", -1), 31);
  EXPECT_EQ(ParseIniInteger("0xFFFFFFFF", -1), -1);
  EXPECT_EQ(ParseIniInteger("-0x10", -1), -16);
  EXPECT_EQ(ParseIniInteger("0x", 5), 0);  // the digit 0, then text
  EXPECT_EQ(ParseIniInteger("0x123456789", -1), kMax);
}

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefault) {
  const TIniFile missing(path_);
  EXPECT_EQ(missing.ReadString("A", "k", "def"), "def");
  EXPECT_EQ(missing.ReadInteger("A", "k", 42), 42);
  EXPECT_TRUE(missing.ReadBool("A", "k", true));
  EXPECT_TRUE(missing.ReadSections().empty());
  EXPECT_FALSE(missing.Modified());

  Put("[A]\r\nk=\r\nn=abc\r\nb=2\r\nz=0\r\n");
  const TIniFile ini(path_);
  EXPECT_EQ(ini.ReadString("A", "k", "def"), "");  // present but empty is not missing
  EXPECT_EQ(ini.ReadInteger("A", "k", 9), 9);
  EXPECT_EQ(ini.ReadInteger("A", "n", 9), 9);
  EXPECT_EQ(ini.ReadString("B", "k", "def"), "def");
  EXPECT_EQ(ini.ReadString("A", "other", "def"), "def");
  EXPECT_FALSE(ini.ReadBool("A", "n", false));
  EXPECT_TRUE(ini.ReadBool("A", "b", false));
  EXPECT_FALSE(ini.ReadBool("A", "z", true));
  EXPECT_TRUE(ini.ValueExists("a", "K"));
  EXPECT_FALSE(ini.ValueExists("A", "other"));
  EXPECT_TRUE(ini.SectionExists(" a "));
}

TEST_F(IniFileTest, NamesMatchIgnoringAsciiCaseAndBlanks) {
  // "ア" is 0x83 0x41 and "ヂ" is 0x83 0x61: their trail bytes are "A" and
  // "a". Folding the case of trail bytes would make them one name.
  Put(Utf8ToCp932("[General]\nFullScreen = 1 \n  Width=  640\n"
                  "[スタイルア]\nkeyア=katakana\n"));
  const TIniFile ini(path_);
  EXPECT_EQ(ini.ReadInteger("GENERAL", "fullscreen", 0), 1);
  EXPECT_EQ(ini.ReadInteger("general", "WIDTH", 0), 640);
  EXPECT_EQ(ini.ReadString(Utf8ToCp932("スタイルア"), Utf8ToCp932("KEYア"), ""), "katakana");
  EXPECT_EQ(ini.ReadString(Utf8ToCp932("スタイルヂ"), Utf8ToCp932("keyア"), "none"), "none");
  EXPECT_EQ(ini.ReadString(Utf8ToCp932("スタイルア"), Utf8ToCp932("keyヂ"), "none"), "none");
  EXPECT_FALSE(ini.SectionExists(Utf8ToCp932("スタイルヂ")));
}

TEST_F(IniFileTest, ValuesAreTrimmedAndLoseOnePairOfQuotes) {
  Put("[S]\r\n"
      "a=  spaced value \t\r\n"
      "b=\"quoted\"\r\n"
      "c='single'\r\n"
      "d=\"\"twice\"\"\r\n"
      "e=\"unmatched'\r\n"
      "f=\"\r\n"
      "g= \" inner blanks \" \r\n"
      "h=a=b\r\n");
  const TIniFile ini(path_);
  EXPECT_EQ(ini.ReadString("S", "a", ""), "spaced value");
  EXPECT_EQ(ini.ReadString("S", "b", ""), "quoted");
  EXPECT_EQ(ini.ReadString("S", "c", ""), "single");
  EXPECT_EQ(ini.ReadString("S", "d", ""), "\"twice\"");
  EXPECT_EQ(ini.ReadString("S", "e", ""), "\"unmatched'");
  EXPECT_EQ(ini.ReadString("S", "f", ""), "\"");
  EXPECT_EQ(ini.ReadString("S", "g", ""), " inner blanks ");
  EXPECT_EQ(ini.ReadString("S", "h", ""), "a=b");
}

TEST_F(IniFileTest, WrittenValuesReadBackUnchanged) {
  const std::vector<std::string> values = {
      "\"%F\"", "'x'", "  lead", "trail  ", " ", "\"", "a\"b\"", "",
      Utf8ToCp932("表示―ソ"),  // every one with the trail byte 0x5C
      std::string("nul\0byte", 8)};
  {
    TIniFile ini(path_);
    for (size_t i = 0; i < values.size(); ++i)
      ASSERT_TRUE(ini.WriteString("S", "k" + std::to_string(i), values[i]));
    ASSERT_TRUE(ini.UpdateFile());
  }
  const TIniFile ini(path_);
  for (size_t i = 0; i < values.size(); ++i)
    EXPECT_EQ(ini.ReadString("S", "k" + std::to_string(i), "?"), values[i]) << i;
  // Ordinary values are written bare, as Windows would.
  EXPECT_NE(Get().find("k0=\"\"%F\"\"\r\n"), std::string::npos);
  EXPECT_NE(Get().find("k7=\r\n"), std::string::npos);

  // A line break cannot be stored: it becomes a blank and cannot inject a key.
  TIniFile again(path_);
  ASSERT_TRUE(again.WriteString("S", "br", "one\r\n[X]\ninjected=1"));
  ASSERT_TRUE(again.UpdateFile());
  const TIniFile reread(path_);
  EXPECT_EQ(reread.ReadString("S", "br", ""), "one  [X] injected=1");
  EXPECT_FALSE(reread.SectionExists("X"));
}

TEST_F(IniFileTest, WritingLeavesEverythingElseAlone) {
  Put("; settings made by hand\n"
      "\n"
      "[One]\n"
      "Alpha = 1   \n"
      "; a comment inside\n"
      "Beta=two\n"
      "not a key line\n"
      "\n"
      "; about Two\n"
      "[Two]\n"
      "Gamma=3\n");
  TIniFile ini(path_);
  ASSERT_TRUE(ini.WriteString("one", "BETA", "changed"));  // existing key, other case
  ASSERT_TRUE(ini.WriteInteger("One", "Delta", -4));       // new key in a section
  ASSERT_TRUE(ini.WriteBool("Three", "Flag", true));       // new section
  ASSERT_TRUE(ini.WriteInteger("One", "Alpha", 1));        // same value: line untouched
  EXPECT_TRUE(ini.Modified());
  ASSERT_TRUE(ini.UpdateFile());
  EXPECT_FALSE(ini.Modified());
  EXPECT_EQ(Get(),
            "; settings made by hand\r\n"
            "\r\n"
            "[One]\r\n"
            "Alpha = 1   \r\n"
            "; a comment inside\r\n"
            "Beta=changed\r\n"
            "Delta=-4\r\n"
            "not a key line\r\n"
            "\r\n"
            "; about Two\r\n"
            "[Two]\r\n"
            "Gamma=3\r\n"
            "\r\n"
            "[Three]\r\n"
            "Flag=1\r\n");
  EXPECT_EQ(ini.ReadSection("One"), (std::vector<std::string>{"Alpha", "Beta", "Delta"}));

  // Writing the same values again changes nothing and touches no file.
  TIniFile same(path_);
  same.WriteString("One", "Beta", "changed");
  same.WriteBool("three", "flag", true);
  EXPECT_FALSE(same.Modified());
}

TEST_F(IniFileTest, LineEndsAndSectionHeaders) {
  // LF, CR LF and a lone CR all end a line; a header may carry text after
  // its "]"; the last "]" closes the name; "ー" is 0x81 0x5B and "‐" is
  // 0x81 0x5D, a bracket byte as trail byte.
  Put(std::string("[A]\rx=1\r\n[B] ; note\ny=2\n[C]]\nz=3\n") +
      Utf8ToCp932("[ー‐]\nw=4\n[no close\nv=5\n"));
  const TIniFile ini(path_);
  EXPECT_EQ(ini.ReadInteger("A", "x", 0), 1);
  EXPECT_EQ(ini.ReadInteger("B", "y", 0), 2);
  EXPECT_EQ(ini.ReadInteger("C]", "z", 0), 3);
  EXPECT_EQ(ini.ReadInteger(Utf8ToCp932("ー‐"), "w", 0), 4);
  // A "[" line without "]" is no header: its key stays in the section before.
  EXPECT_EQ(ini.ReadInteger(Utf8ToCp932("ー‐"), "v", 0), 5);
  EXPECT_EQ(ini.ReadSections(),
            (std::vector<std::string>{"A", "B", "C]", Utf8ToCp932("ー‐")}));
}

TEST_F(IniFileTest, SectionListKeyListEraseAndDelete) {
  Put("top=before any section\n"
      "[First]\na=1\nb=2\nA=dup\n"
      "[Second]\nc=3\n"
      "[first]\nlate=9\n"
      "[]\nd=4\n"
      "[Third]\ne=5\n");
  TIniFile ini(path_);
  // Lines before any section belong to none; the second "first" is shadowed.
  EXPECT_EQ(ini.ReadString("", "top", "none"), "none");
  EXPECT_EQ(ini.ReadInteger("First", "late", 0), 0);
  EXPECT_EQ(ini.ReadString("First", "a", ""), "1");
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"First", "Second", "Third"}));
  EXPECT_EQ(ini.ReadSection("FIRST"), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(ini.ReadSection("Nowhere").empty());

  ini.DeleteKey("First", "A");  // both lines of the key
  EXPECT_FALSE(ini.ValueExists("First", "a"));
  EXPECT_EQ(ini.ReadSection("First"), (std::vector<std::string>{"b"}));
  ini.EraseSection("FIRST");  // every section of that name
  EXPECT_FALSE(ini.SectionExists("First"));
  ini.EraseSection("Nowhere");
  ini.DeleteKey("Nowhere", "x");
  ASSERT_TRUE(ini.UpdateFile());
  EXPECT_EQ(Get(), "top=before any section\r\n[Second]\r\nc=3\r\n[]\r\nd=4\r\n[Third]\r\ne=5\r\n");
}

TEST_F(IniFileTest, NamesThatCannotBeStoredAreRefused) {
  TIniFile ini(path_);
  const std::pair<std::string, std::string> bad[] = {
      {"S", ""}, {"S", "  "}, {"S", "a=b"}, {"S", ";c"}, {"S", "[X]"}, {"S", "a\nb"},
      {"", "k"}, {"a\r\nb", "k"},
      {"\x81", "k"}};  // a lone lead byte would take the "]" as its trail byte
  for (const auto& [section, key] : bad) EXPECT_FALSE(ini.WriteString(section, key, "v")) << key;
  EXPECT_FALSE(ini.Modified());
  EXPECT_TRUE(ini.UpdateFile());
  EXPECT_FALSE(FileExists(path_));
  // A name with blanks around it is stored trimmed and found either way.
  ASSERT_TRUE(ini.WriteString("  Spaced  ", "  key ", "v"));
  EXPECT_EQ(ini.ReadString("Spaced", "key", ""), "v");
}

TEST_F(IniFileTest, FailedWriteLeavesTheOldFileIntact) {
  Put("[S]\r\nk=old\r\n");
  TIniFile ini(path_);
  ASSERT_TRUE(ini.WriteString("S", "k", std::string(4096, 'n')));
  // Limit the size of files this process may write, so the write fails
  // even for root.
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 1024;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool ok = ini.UpdateFile();
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(ok);
  EXPECT_TRUE(ini.Modified());  // the change is still pending
  EXPECT_EQ(Get(), "[S]\r\nk=old\r\n");
  for (const auto& entry : std::filesystem::directory_iterator(temp_.Native()))
    EXPECT_EQ(entry.path().filename(), "test.ini");  // no temporary left behind
  // With the limit gone the pending change goes out.
  EXPECT_TRUE(ini.UpdateFile());
  EXPECT_EQ(TIniFile(path_).ReadString("S", "k", "").size(), 4096u);
}

TEST_F(IniFileTest, UnreadableFileIsNeverOverwritten) {
  // A directory stands in for a file that exists but cannot be read.
  std::filesystem::create_directory(temp_.Native() / "test.ini");
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadString("S", "k", "def"), "def");
  ASSERT_TRUE(ini.WriteString("S", "k", "v"));
  EXPECT_FALSE(ini.UpdateFile());
  EXPECT_TRUE(std::filesystem::is_directory(temp_.Native() / "test.ini"));
}

TEST_F(IniFileTest, GarbageFileNeverCrashesAndKeepsItsBytes) {
  std::mt19937 rng(1234);
  std::string garbage;
  for (int i = 0; i < 200000; ++i) garbage += static_cast<char>(rng() & 0xFF);
  garbage += "\n" + std::string(1 << 20, 'x') + "=" + std::string(1 << 20, '[') + "\n";
  // Many sections and many copies of one key must not make listing slow.
  for (int i = 0; i < 30000; ++i) garbage += "\n[s" + std::to_string(i % 20000) + "]\nk=v";
  garbage += "key before=section\n[\x81]\n=no key\n[\x81\x5D\n\x81";  // ends on a lead byte
  Put(garbage);
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadInteger("Default", "FontSize", 16), 16);
  EXPECT_GE(ini.ReadSections().size(), 20000u);  // random bytes may hold a few more
  EXPECT_EQ(ini.ReadSection("S1"), std::vector<std::string>{"k"});
  ASSERT_TRUE(ini.WriteInteger("Default", "FontSize", 20));
  ASSERT_TRUE(ini.UpdateFile());
  const TIniFile reread(path_);
  EXPECT_EQ(reread.ReadInteger("default", "fontsize", 0), 20);
  // Every original byte is still there (line ends aside).
  const std::string written = Get();
  std::string stripped;
  for (char c : written)
    if (c != '\r' && c != '\n') stripped += c;
  std::string expected;
  for (char c : garbage)
    if (c != '\r' && c != '\n') expected += c;
  EXPECT_EQ(stripped.substr(0, expected.size()), expected);
}

TEST_F(IniFileTest, Utf8ByteOrderMarkIsKept) {
  Put("\xEF\xBB\xBF[Default]\r\nFontSize=12\r\n");
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Default"}));
  EXPECT_EQ(ini.ReadInteger("Default", "FontSize", 0), 12);
  ASSERT_TRUE(ini.WriteInteger("Default", "FontSize", 14));
  ASSERT_TRUE(ini.UpdateFile());
  EXPECT_EQ(Get(), "\xEF\xBB\xBF[Default]\r\nFontSize=14\r\n");
}
