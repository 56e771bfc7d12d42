// The side record of bookmark page tops: its round trip, what identifies a
// bookmark, dropping entries of deleted bookmarks, and files that are not
// a record at all.
#include <gtest/gtest.h>

#include <filesystem>

#include "bookmarks/BookMarkPositions.h"
#include "platform/FileIO.h"
#include "tests/support/TestSupport.h"

namespace rpv {
namespace {

TBookMark& AddMark(TBookMarks& marks, std::string path, int32_t line, std::string archive = "") {
  TBookMark& m = *marks.Items(marks.Add());
  m.FullPath = std::move(path);
  m.Line = line;
  m.DateTime = "2004/05/06 9:05:03";
  m.Visible = true;
  m.Archive = std::move(archive);
  return m;
}

TEST(BookMarkPositions, RoundTripKeysDroppingAndGarbage) {
  const test::TTempFolder temp("rpv_bmpos_");
  const std::string path = temp.Path("bm.pos");
  TBookMarks marks;
  TBookMark a = AddMark(marks, "/a \"quoted\", text.txt", 11);
  const TBookMark b = AddMark(marks, "/b.txt", 11, "/x.zip");
  TBookMarkPositions record;
  record.Set(a, 420);
  record.Set(b, 7);
  ASSERT_TRUE(record.Save(path, marks));

  TBookMarkPositions read;
  read.Load(path);
  EXPECT_EQ(read.Lookup(a), 420);
  EXPECT_EQ(read.Lookup(b), 7);
  // The manager's comment and visible flag do not part a bookmark from its
  // entry; another line, time or archive is another bookmark.
  a.Comment = "note";
  a.Visible = false;
  EXPECT_EQ(read.Lookup(a), 420);
  for (auto change : {+[](TBookMark& m) { m.Line = 12; }, +[](TBookMark& m) { m.DateTime += "1"; },
                      +[](TBookMark& m) { m.Archive = "/y.zip"; }}) {
    TBookMark other = b;
    change(other);
    EXPECT_EQ(read.Lookup(other), 0);
  }

  // A bookmark deleted in the manager loses its entry at the next save.
  marks.Delete(1);
  ASSERT_TRUE(read.Save(path, marks));
  TBookMarkPositions after;
  after.Load(path);
  EXPECT_EQ(after.Count(), 1);
  EXPECT_EQ(after.Lookup(*marks.Items(0)), 420);

  // Not a record: read as empty or line by line, never a throw.
  const std::string good = "\"/b.txt\",\"11\",\"2004/05/06 9:05:03\",\"/x.zip\",\"7\"\n";
  for (const std::string& garbage :
       {std::string("\xff\xfe\0\"\"\",\r\n", 9),
        std::string("\"/c.txt\",\"11\",\"2004/05/06 9:05:03\",\"/x.zip\",\"-7\""),
        std::string("\"/c.txt\",\"11\",\"2004/05/06 9:05:03\",\"/x.zip\",\"7\",\"\""),
        std::string("\"/c.txt\",\"1x\",\"2004/05/06 9:05:03\",\"/x.zip\",\"7\"")}) {
    ASSERT_TRUE(WriteFileAtomic(path, garbage + "\n" + good));
    TBookMarkPositions mixed;
    mixed.Load(path);
    EXPECT_EQ(mixed.Count(), 1) << garbage;
    EXPECT_EQ(mixed.Lookup(b), 7) << garbage;
  }
  std::filesystem::remove(path);
  after.Load(path);
  EXPECT_EQ(after.Count(), 0) << "missing";
  std::filesystem::create_directory(temp.Native() / "bm.pos");
  after.Set(b, 3);
  after.Load(path);
  EXPECT_EQ(after.Count(), 0) << "a folder";
  EXPECT_FALSE(after.Save(path, marks));
}

}  // namespace
}  // namespace rpv
