// The in-memory store: order, moving, grouping for the per-file menu, and
// the text made from a bookmark.
#include <gtest/gtest.h>

#include "bookmarks/rpvBookMark.h"
#include "platform/Codepage.h"
#include "platform/FileIO.h"
#include "tests/support/TestSupport.h"

using namespace rpv;

namespace {

using test::S;

// A store of bookmarks named by their paths, all visible.
TBookMarks Store(std::initializer_list<const char*> paths) {
  TBookMarks marks;
  for (const char* p : paths) {
    TBookMark* m = marks.Items(marks.Add());
    m->FullPath = p;
    m->Visible = true;
  }
  return marks;
}

std::string Order(const TBookMarks& marks) {
  std::string out;
  for (int i = 0; i < marks.Count(); ++i) out += marks.Items(i)->FullPath;
  return out;
}

std::vector<std::string> Members(const TMenuItems& groups, int g) {
  return groups.Items(g)->Indexes;
}

}  // namespace

TEST(BookMarkList, MoveNamesTheSlotBeforeTheRemoval) {
  TBookMarks marks = Store({"P", "Q", "R", "S"});
  TBookMark* q = marks.Items(1);
  marks.Move(3, 1);
  EXPECT_EQ(Order(marks), "PRQS");
  EXPECT_EQ(marks.Items(2), q);  // the record itself moves, fields and all
  marks = Store({"P", "Q", "R", "S"});
  marks.Move(0, 2);
  EXPECT_EQ(Order(marks), "RPQS");
  marks.Move(2, 2);
  EXPECT_EQ(Order(marks), "RPQS");
  // To the end, and indexes outside the list.
  marks.Move(4, 0);
  EXPECT_EQ(Order(marks), "PQSR");
  marks.Move(0, 4);
  marks.Move(0, -1);
  EXPECT_EQ(Order(marks), "PQSR");
  // The manager dialog moves a selected block by moving its neighbour.
  marks = Store({"P", "Q", "R", "S"});
  marks.Move(3, 0);  // block Q R (data 1..2) up: Move(bottom + 1, top - 1)
  EXPECT_EQ(Order(marks), "QRPS");
  marks = Store({"P", "Q", "R", "S"});
  marks.Move(0, 2);  // block P Q (data 0..1) down: Move(top, bottom + 1)
  EXPECT_EQ(Order(marks), "RPQS");
}

TEST(BookMarkList, IndexesOutsideTheListAreHarmless) {
  TBookMarks marks = Store({"P", "Q"});
  EXPECT_EQ(marks.Items(-1), nullptr);
  EXPECT_EQ(marks.Items(2), nullptr);
  marks.Delete(-1);
  marks.Delete(2);
  EXPECT_EQ(Order(marks), "PQ");
  marks.Insert(99).FullPath = "Z";
  marks.Insert(-5).FullPath = "A";
  EXPECT_EQ(Order(marks), "APQZ");
  marks.Delete(1);
  EXPECT_EQ(Order(marks), "AQZ");
  marks.Clear();
  EXPECT_EQ(marks.Count(), 0);

  const TBookMark fresh;
  EXPECT_EQ(fresh.Line, 0);
  EXPECT_FALSE(fresh.Visible);
  TMenuItems groups;
  EXPECT_EQ(groups.Add(7), 0);
  EXPECT_EQ(groups.Items(0)->BookMarkIndex, 7);
  EXPECT_TRUE(groups.Items(0)->Indexes.empty());
  EXPECT_EQ(groups.Items(-1), nullptr);
}

TEST(BookMarkList, NewBookmarkGoesFirstInMemoryAndOnDisk) {
  const test::TTempFolder temp("rpv_bm_top_");
  const std::string path = temp.Path("bm.csv");
  TBookMarks marks = Store({"/old1", "/old2"});
  marks.SaveToFile(path);
  TBookMark& added = marks.Insert(0);
  added.FullPath = "/new";
  added.Line = 9;
  added.Visible = true;
  marks.SaveToFile(path);
  const std::string text = ReadWholeFile(path).value_or("");
  EXPECT_EQ(text.substr(0, text.find("\r\n")), "\"/new\",\"9\",\"\",\"\",\"-1\",\"\"");
  TBookMarks back;
  back.LoadFromFile(path);
  EXPECT_EQ(Order(back), "/new/old1/old2");
}

TEST(BookMarkList, GroupsVisibleBookmarksByExactPath) {
  TBookMarks marks = Store({"/a", "/b", "/a", "/A", "/c", "/b", "/a"});
  marks.Items(4)->Visible = false;  // /c: hidden, so no group at all
  marks.Items(6)->Visible = false;  // a hidden /a stays out of /a's group
  TMenuItems groups;
  groups.Add(99);  // rebuilding starts from nothing
  groups.GroupByFile(marks);
  ASSERT_EQ(groups.Count(), 3);
  EXPECT_EQ(groups.Items(0)->BookMarkIndex, 0);
  EXPECT_EQ(Members(groups, 0), (std::vector<std::string>{"0", "2"}));
  EXPECT_EQ(groups.Items(1)->BookMarkIndex, 1);
  EXPECT_EQ(Members(groups, 1), (std::vector<std::string>{"1", "5"}));
  // Letter case is significant.
  EXPECT_EQ(groups.Items(2)->BookMarkIndex, 3);
  EXPECT_EQ(Members(groups, 2), std::vector<std::string>{"3"});

  // A group whose first member is hidden starts at its first visible one.
  marks.Items(0)->Visible = false;
  groups.GroupByFile(marks);
  EXPECT_EQ(groups.Items(0)->BookMarkIndex, 1);
  EXPECT_EQ(groups.Items(1)->BookMarkIndex, 2);
  EXPECT_EQ(Members(groups, 1), std::vector<std::string>{"2"});
}

TEST(BookMarkCaption, Placeholders) {
  TBookMark m;
  m.FullPath = "/dir/b.txt";
  m.Line = 12;
  m.DateTime = "2004/05/06 9:05:03";
  EXPECT_EQ(m.FormatCaption(S("%c(%d) %b行目")), S("b.txt(2004/05/06) 12行目"));
  EXPECT_EQ(m.FormatCaption("%c"), "b.txt");
  EXPECT_EQ(m.FormatCaption(S("%d %b行目")), S("2004/05/06 12行目"));
  EXPECT_EQ(m.FormatCaption("%f|%F|%D"), "b.txt|/dir/b.txt|2004/05/06 9:05:03");
  m.Comment = "%b";  // substituted text is not scanned again
  EXPECT_EQ(m.FormatCaption("%c/%%b"), "%b/%b");

  EXPECT_EQ(m.FormatCaption("100%% \\t"), "100% \t");
  EXPECT_EQ(m.FormatCaption("%x\\x\\\\"), "%x\\x\\");
  EXPECT_EQ(m.FormatCaption("50%"), "50%");
  EXPECT_EQ(m.FormatCaption("end\\"), "end\\");
  EXPECT_EQ(m.FormatCaption(""), "");

  // A short date-time is taken whole; a double-byte character straddling
  // the tenth byte is not cut.
  m.DateTime = "9:05";
  EXPECT_EQ(m.FormatCaption("%d"), "9:05");
  m.DateTime = "123456789" + S("年") + "x";
  EXPECT_EQ(m.FormatCaption("%d"), "123456789");

  // Trail bytes 0x5C ("表t" is not a TAB) and after "%" or "\".
  const std::string hyo = S("表");
  EXPECT_EQ(m.FormatCaption(hyo + "t" + hyo + "\\t"), hyo + "t" + hyo + "\t");
  EXPECT_EQ(m.FormatCaption("%" + hyo + "t"), "%" + hyo + "t");
  EXPECT_EQ(m.FormatCaption("\\" + hyo + "t"), "\\" + hyo + "t");
  EXPECT_EQ(m.FormatCaption(S("ポ%b")), S("ポ12"));
}

TEST(BookMarkCaption, ShortNameAndDateTimeText) {
  // Windows rules (backslash and drive colon) and the POSIX separator.
  EXPECT_EQ(ExtractShortName("C:\\dir\\b.txt", "\\:"), "b.txt");
  EXPECT_EQ(ExtractShortName("C:b.txt", "\\:"), "b.txt");
  EXPECT_EQ(ExtractShortName("b.txt", "\\:"), "b.txt");
  EXPECT_EQ(ExtractShortName("C:\\dir\\", "\\:"), "");
  const std::string hyo = S("表"), so = S("ソ");
  EXPECT_EQ(ExtractShortName("C:\\" + so + "\\" + hyo, "\\:"), hyo);
  EXPECT_EQ(ExtractShortName("C:\\" + hyo + so + ".txt", "\\:"), hyo + so + ".txt");
  EXPECT_EQ(ExtractShortName("/home/u/" + hyo + ".txt", "/"), hyo + ".txt");
  EXPECT_EQ(ExtractShortName("/", "/"), "");
  TBookMark m;
  m.FullPath = "/dir/" + so;
  EXPECT_EQ(m.ShortName(), so);

  EXPECT_EQ(FormatBookMarkDateTime(2004, 5, 6, 9, 5, 3), "2004/05/06 9:05:03");
  EXPECT_EQ(FormatBookMarkDateTime(2004, 12, 31, 23, 59, 59), "2004/12/31 23:59:59");
  EXPECT_EQ(FormatBookMarkDateTime(2004, 5, 6, 0, 0, 0), "2004/05/06");
  EXPECT_EQ(FormatBookMarkDateTime(2004, 5, 6, 0, 0, 1), "2004/05/06 0:00:01");
  const std::string now = NowBookMarkDateTime();
  ASSERT_GE(now.size(), 10u);
  EXPECT_EQ(now[4], '/');
  EXPECT_EQ(now[7], '/');
}
