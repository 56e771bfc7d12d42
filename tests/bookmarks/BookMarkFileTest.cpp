// bm.csv on disk: the written bytes, the reading rules, and what survives a
// failed load or a failed save.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "bookmarks/BookMarkCsv.h"
#include "bookmarks/rpvBookMark.h"
#include "platform/Codepage.h"
#include "platform/FileIO.h"
#include "tests/support/TestSupport.h"

using namespace rpv;
namespace fs = std::filesystem;

namespace {

using test::S;

class BookMarkFile : public ::testing::Test {
 protected:
  void WriteRaw(const std::string& bytes) { ASSERT_TRUE(WriteFileAtomic(path_, bytes)); }
  std::string ReadRaw() { return ReadWholeFile(path_).value_or("<missing>"); }

  const test::TTempFolder temp_{"rpv_bm_"};
  const std::string path_ = temp_.Path("bm.csv");
};

TBookMark Mark(std::string path, int32_t line, std::string comment = "", bool visible = true,
               std::string archive = "") {
  TBookMark m;
  m.FullPath = std::move(path);
  m.Line = line;
  m.DateTime = "2004/05/06 9:05:03";
  m.Comment = std::move(comment);
  m.Visible = visible;
  m.Archive = std::move(archive);
  return m;
}

TBookMark LoadLine(std::string_view line) {
  TBookMark m;
  m.LoadFromLine(line);
  return m;
}

}  // namespace

TEST_F(BookMarkFile, WritesSixQuotedFieldsWithCrLfAndReadsThemBack) {
  TBookMarks marks;
  *marks.Items(marks.Add()) = Mark("C:\\text\\a.txt", 120);
  *marks.Items(marks.Add()) = Mark("/b.txt", -3, "say \"hi\", ok", false, "/x.zip");
  marks.SaveToFile(path_);
  EXPECT_EQ(ReadRaw(),
            "\"C:\\text\\a.txt\",\"120\",\"2004/05/06 9:05:03\",\"\",\"-1\",\"\"\r\n"
            "\"/b.txt\",\"-3\",\"2004/05/06 9:05:03\",\"say \"\"hi\"\", ok\",\"0\",\"/x.zip\"\r\n");

  TBookMarks back;
  back.LoadFromFile(path_);
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(*back.Items(0), *marks.Items(0));
  EXPECT_EQ(*back.Items(1), *marks.Items(1));

  // An empty store leaves an empty file, which loads as an empty store.
  TBookMarks().SaveToFile(path_);
  EXPECT_EQ(ReadRaw(), "");
  back.LoadFromFile(path_);
  EXPECT_EQ(back.Count(), 0);
}

TEST_F(BookMarkFile, RoundTripsAwkwardTextUnchanged) {
  // Trail bytes 0x5C and 0x7C must not read as a backslash or a bar, nor
  // may a stray lead byte swallow the closing quote after it.
  const std::string hyo = S("表"), so = S("ソ"), po = S("ポ");
  ASSERT_EQ(hyo, "\x95\x5C");
  ASSERT_EQ(so, "\x83\x5C");
  ASSERT_EQ(po, "\x83\x7C");
  const std::vector<TBookMark> cases = {
      Mark("/dir, with \"quotes\"/" + hyo + so + ".txt", 1, po + "\"" + hyo + "\",", true,
           "/arc/" + so + ".zip"),
      Mark("", 0, "", false, ""),
      Mark("/a", 2147483647, "   ", true, ""),
      Mark("/b", -2147483647 - 1, "\"\"\"", false, "x,y"),
      Mark("/c", 5, "ends in lead \x81", true, "\x81"),
      Mark("/d", 6, std::string("nul\0byte", 8), true, ""),
      Mark("/" + hyo, 7, hyo, true, hyo),
  };
  TBookMarks marks;
  for (const auto& m : cases) *marks.Items(marks.Add()) = m;
  marks.SaveToFile(path_);

  TBookMarks back;
  back.LoadFromFile(path_);
  ASSERT_EQ(back.Count(), static_cast<int>(cases.size()));
  for (size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(*back.Items(static_cast<int>(i)), cases[i]) << "bookmark " << i;
}

TEST_F(BookMarkFile, LineFeedInAFieldCannotSplitTheLine) {
  TBookMarks marks;
  *marks.Items(marks.Add()) = Mark("/a", 1, "two\r\nlines");
  *marks.Items(marks.Add()) = Mark("/b", 2);
  marks.SaveToFile(path_);
  TBookMarks back;
  back.LoadFromFile(path_);
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.Items(0)->Comment, "two\r lines");
  EXPECT_EQ(back.Items(1)->FullPath, "/b");

  // Blank lines at the end hold no bookmark; one in the middle is an error.
  const std::string line = "\"/a\",\"1\",\"\",\"\",\"-1\",\"\"\r\n";
  back.LoadFromText(line + "\r\n\n");
  EXPECT_EQ(back.Count(), 1);
  EXPECT_THROW(back.LoadFromText(line + "\r\n" + line), EConvertError);
}

TEST(BookMarkLine, SplitsFieldsLikeCommaText) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitBookMarkLine(""), V{});
  EXPECT_EQ(SplitBookMarkLine(" \t "), V{});
  EXPECT_EQ(SplitBookMarkLine("a,b"), (V{"a", "b"}));
  // A comma as the very last byte adds an empty field; followed by a blank
  // it does not.
  EXPECT_EQ(SplitBookMarkLine("a,"), (V{"a", ""}));
  EXPECT_EQ(SplitBookMarkLine("a, "), V{"a"});
  EXPECT_EQ(SplitBookMarkLine(","), (V{"", ""}));
  EXPECT_EQ(SplitBookMarkLine("a,,b"), (V{"a", "", "b"}));
  // Blanks end unquoted fields and separate fields without a comma.
  EXPECT_EQ(SplitBookMarkLine("  a b ,\tc "), (V{"a", "b", "c"}));
  // Quoted fields: doubled quotes, text glued after the closing quote
  // starts a new field, an unclosed quote runs to the end.
  EXPECT_EQ(SplitBookMarkLine("\"x\"\"y\"z,w"), (V{"x\"y", "z", "w"}));
  EXPECT_EQ(SplitBookMarkLine("\" a, b \",\"\""), (V{" a, b ", ""}));
  EXPECT_EQ(SplitBookMarkLine("\"unclosed, a"), V{"unclosed, a"});
  EXPECT_EQ(SplitBookMarkLine("ab\"c,d"), (V{"ab\"c", "d"}));
  // A NUL byte is a blank: it neither ends the line nor stalls the scan.
  EXPECT_EQ(SplitBookMarkLine(std::string("a\0b", 3)), (V{"a", "b"}));
  // Double-byte characters whose trail byte is 0x5C or 0x7C; a lead byte
  // before a quote is a stray byte, not half of a character.
  EXPECT_EQ(SplitBookMarkLine(S("表,ポ")), (V{S("表"), S("ポ")}));
  EXPECT_EQ(SplitBookMarkLine("\"\x95\x5C\",\"\x81\",\x81"), (V{"\x95\x5C", "\x81", "\x81"}));
}

TEST(BookMarkLine, ConvertsLineAndVisibleOrFailsWithMessage) {
  const TBookMark m = LoadLine("/a.txt , 12 ,date time,1,arc");
  EXPECT_EQ(m.FullPath, "/a.txt");
  EXPECT_EQ(m.Line, 12);
  EXPECT_EQ(m.DateTime, "date");  // the blank ends the field; "time" is the comment
  EXPECT_EQ(m.Comment, "time");
  EXPECT_TRUE(m.Visible);
  EXPECT_EQ(m.Archive, "arc");

  // Five fields: no archive. Extra fields: ignored.
  const TBookMark five = LoadLine("\"/p\",\"3\",\"d\",\"c\",\"0\"");
  EXPECT_FALSE(five.Visible);
  EXPECT_EQ(five.Archive, "");
  EXPECT_EQ(LoadLine("\"/p\",\"3\",\"d\",\"c\",\"0\",\"a\",\"x\",\"y\"").Archive, "a");

  for (const char* yes : {"True", "true", "TRUE", "-1", "2", "0.5", "+1e3", ".5"})
    EXPECT_TRUE(LoadLine(std::string("/p,1,d,c,") + yes).Visible) << yes;
  for (const char* no : {"False", "fALSE", "0", "-0", "0.0", "0e5", "00"})
    EXPECT_FALSE(LoadLine(std::string("/p,1,d,c,") + no).Visible) << no;
  for (const char* bad : {"yes", "\"\"", "1e", ".", "1.2.3", "\" 1\"", "T"})
    EXPECT_THROW(LoadLine(std::string("/p,1,d,c,") + bad), EConvertError) << bad;

  EXPECT_EQ(LoadLine("/p,+7,,,0").Line, 7);
  EXPECT_EQ(LoadLine("/p,-2147483648,,,0").Line, INT32_MIN);
  for (const char* bad : {"\"\"", "abc", "1.0", "2147483648", "-", "\" 5\"", "0x10"})
    EXPECT_THROW(LoadLine(std::string("/p,") + bad + ",,,0"), EConvertError) << bad;

  // Messages quote the offending text; the record is left as it was.
  TBookMark kept;
  kept.FullPath = "/kept";
  try {
    kept.LoadFromLine("/new,abc,,,0");
    ADD_FAILURE() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(std::string(e.what()), S("'abc' は整数ではありません"));
    EXPECT_EQ(e.LineNumber(), 0);
  }
  try {
    kept.LoadFromLine("\"/new\",\"1\",\"d\",\"c\"");  // four fields
    ADD_FAILURE() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Reason(), S("'' は正しい論理型ではありません"));
  }
  EXPECT_EQ(kept.FullPath, "/kept");
}

TEST_F(BookMarkFile, LineEndsAndFailedLoadsKeepTheList) {
  // LF alone ends a line too, the last line may lack a line end, and the
  // CR of CR LF is no part of an unclosed quoted field.
  WriteRaw("/a,1,,,1,\"open\r\n\"/b\",\"2\",\"\",\"\",\"0\"\n/c,3,,,-1");
  TBookMarks marks;
  marks.LoadFromFile(path_);
  ASSERT_EQ(marks.Count(), 3);
  EXPECT_EQ(marks.Items(0)->Archive, "open");
  EXPECT_EQ(marks.Items(2)->FullPath, "/c");
  TBookMark* first = marks.Items(0);

  // A bad line names its number and leaves both the list and the file.
  const std::string bad = "/x,1,,,1\r\n\r\n/y,2,,,0\r\n";
  WriteRaw(bad);
  try {
    marks.LoadFromFile(path_);
    ADD_FAILURE() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.LineNumber(), 2);
    EXPECT_EQ(std::string(e.what()), S("2 行目: '' は整数ではありません"));
  }
  ASSERT_EQ(marks.Count(), 3);
  EXPECT_EQ(marks.Items(0), first);
  EXPECT_EQ(marks.Items(2)->FullPath, "/c");
  EXPECT_EQ(ReadRaw(), bad);

  WriteRaw("/x,1,,,1\r\n/y,2,,,maybe\r\n");
  EXPECT_THROW(marks.LoadFromFile(path_), EConvertError);
  EXPECT_EQ(marks.Count(), 3);

  // Neither a missing file nor a folder of that name changes the list.
  fs::remove(temp_.Native() / "bm.csv");
  marks.LoadFromFile(path_);
  fs::create_directory(temp_.Native() / "bm.csv");
  marks.LoadFromFile(path_);
  EXPECT_EQ(marks.Count(), 3);
  fs::remove(temp_.Native() / "bm.csv");

  // A file far too large to be a bookmark file is refused, not read.
  { std::ofstream(temp_.Native() / "bm.csv") << "/z,1,,,1\r\n"; }
  fs::resize_file(temp_.Native() / "bm.csv", 64u << 20);
  EXPECT_THROW(marks.LoadFromFile(path_), EInOutError);
  EXPECT_EQ(marks.Count(), 3);
}

TEST_F(BookMarkFile, InterruptedOrFailedSavesLeaveTheOldFile) {
  TBookMarks old;
  *old.Items(old.Add()) = Mark("/old", 1);
  old.SaveToFile(path_);
  const std::string oldBytes = ReadRaw();

  // A crash between writing the temporary file and renaming it leaves the
  // temporary beside the old file; the old file is what loads.
  { std::ofstream(temp_.Native() / "bm.csv.tmp123456", std::ios::binary) << "\"/new\",\"2\",\"20"; }
  TBookMarks marks;
  marks.LoadFromFile(path_);
  ASSERT_EQ(marks.Count(), 1);
  EXPECT_EQ(marks.Items(0)->FullPath, "/old");

  TBookMarks big;
  for (int i = 0; i < 100; ++i) *big.Items(big.Add()) = Mark("/new/" + std::to_string(i), i);

  // The disk filling up in the middle of the write (a file-size limit makes
  // write() fail even for root).
  {
    auto* previous = ::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(big.SaveToFile(path_), EInOutError);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);
    ::signal(SIGXFSZ, previous);
  }
  EXPECT_EQ(ReadRaw(), oldBytes);

  // A folder made read-only (root writes there regardless).
  if (::geteuid() != 0) {
    fs::permissions(temp_.Native(), fs::perms::owner_write | fs::perms::group_write |
                              fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_THROW(big.SaveToFile(path_), EInOutError);
    fs::permissions(temp_.Native(), fs::perms::owner_all, fs::perm_options::add);
    EXPECT_EQ(ReadRaw(), oldBytes);
  }

  // A folder that does not exist is reported, not ignored.
  EXPECT_THROW(big.SaveToFile(FromNativePath(temp_.Native() / "no" / "bm.csv")), EInOutError);

  // No half-written temporary stays behind after a failure.
  int files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(temp_.Native())) ++files;
  EXPECT_EQ(files, 2);  // bm.csv and the crash leftover

  big.SaveToFile(path_);
  marks.LoadFromFile(path_);
  EXPECT_EQ(marks.Count(), 100);
}
