// The file history as the window keeps it: order, the 21st file, reloads,
// exact path matching, and its rpv.ini sections; the settings' own rules.
#include "AppTestSupport.h"
#include "app/ProgramSettings.h"
#include "platform/IniFile.h"
#include "render/BookClass.h"

namespace rpv::test {
namespace {

std::vector<std::string> Paths(const TFileHistoryList& h) {
  std::vector<std::string> out;
  for (int i = 0; i < TFileHistoryList::Count(); ++i) out.push_back(h[i].FullPath);
  return out;
}

TEST(FileHistory, NewPathsGoInFrontAndTheTwentyFirstDropsTheOldest) {
  TFileHistoryList h;
  for (int i = 0; i < 21; ++i) h.Add("/f" + std::to_string(i), i, "");
  EXPECT_EQ(h[0].FullPath, "/f20");
  EXPECT_EQ(h[19].FullPath, "/f1");  // /f0 fell off
  EXPECT_EQ(h.PositionOf("/f0"), -1);
  EXPECT_EQ(h.PositionOf("/f5"), 5);

  // Reopening entry 7 brings it to the front; entries 0..6 move down one
  // and those after 7 stay where they are.
  const auto before = Paths(h);
  h.Add("/f13", 99, "/a.zip");
  const auto after = Paths(h);
  EXPECT_EQ(after[0], "/f13");
  for (int i = 1; i <= 7; ++i) EXPECT_EQ(after[static_cast<size_t>(i)], before[static_cast<size_t>(i - 1)]);
  for (int i = 8; i < 20; ++i) EXPECT_EQ(after[static_cast<size_t>(i)], before[static_cast<size_t>(i)]);
  EXPECT_EQ(h[0].BookMark, 99);
  EXPECT_EQ(h[0].Archive, "/a.zip");

  // A reload of entry 0 moves nothing.
  const auto reload = Paths(h);
  h.Add("/f13", 5, "");
  EXPECT_EQ(Paths(h), reload);

  // The match is exact: letter case counts; of two equal entries the last
  // one is taken.
  EXPECT_EQ(h.PositionOf("/F13"), -1);
  h[3] = TFileHistory{"/dup", 1, "", 0, {}};
  h[9] = TFileHistory{"/dup", 2, "", 0, {}};
  EXPECT_EQ(h.PositionOf("/dup"), 2);
  const auto withDup = Paths(h);
  h.Add("/dup", 3, "");
  EXPECT_EQ(h[0].FullPath, "/dup");
  EXPECT_EQ(h[4].FullPath, "/dup") << "the earlier duplicate moved down";
  EXPECT_EQ(h[10].FullPath, withDup[10]);
}

TEST(FileHistory, SectionsRoundTripThroughRpvIni) {
  TTempHome home;
  TFileHistoryList h;
  h.Add(Utf8ToCp932("/本/一.txt"), 12, "");
  h.Add("/archive/b.txt", -1, "/books.lzh");
  {
    TIniFile ini(home.Path("rpv.ini"));
    h.Write(ini);
    ASSERT_TRUE(ini.UpdateFile());
  }
  const TIniFile ini(home.Path("rpv.ini"));
  EXPECT_EQ(ini.ReadSections().size(), 20u);
  EXPECT_EQ(ini.ReadString("FH1", "FullPath", ""), Utf8ToCp932("/本/一.txt"));
  EXPECT_EQ(ini.ReadString("FH0", "Archive", ""), "/books.lzh");
  TFileHistoryList back;
  back.Read(ini);
  for (int i = 0; i < TFileHistoryList::Count(); ++i) EXPECT_EQ(back[i], h[i]) << i;
}

TEST(ProgramSettings, ReadsHandEditedValuesAndKeepsPlacementWhenAsked) {
  TTempHome home;
  home.Write("rpv.ini",
             "[General]\r\nAutoInterval=-1\r\nAutoLInterval=abc\r\nblnLast=0\r\n"
             "Width=800\r\n[BookMarks]\r\nType=257\r\nFormat1=\" %f \"\r\n");
  TProgramSettings s;
  {
    const TIniFile ini(home.Path("rpv.ini"));
    s.Read(ini);
  }
  EXPECT_EQ(s.AutoInterval, 0xFFFFFFFFu) << "negative intervals wrap, as unsigned";
  EXPECT_EQ(s.AutoLInterval, 2000u) << "not a number: the default";
  EXPECT_FALSE(s.blnLast);
  EXPECT_EQ(s.Width, 800);
  EXPECT_EQ(s.Left, 386);
  EXPECT_EQ(s.BookMarkType, 1) << "a byte";
  EXPECT_EQ(s.Format1, " %f ");

  s.Width = 1000;
  s.Format1 = " %f ";
  {
    TIniFile ini(home.Path("rpv.ini"));
    s.Write(ini, false);
    ASSERT_TRUE(ini.UpdateFile());
  }
  const TIniFile ini(home.Path("rpv.ini"));
  EXPECT_EQ(ini.ReadInteger("General", "Width", 0), 800) << "placement left alone";
  EXPECT_FALSE(ini.ValueExists("General", "Left"));
  EXPECT_EQ(ini.ReadString("BookMarks", "Format1", ""), " %f ");
  EXPECT_EQ(ini.ReadInteger("General", "AutoInterval", 0), -1);
}

// a.txt and b.txt, 600 short lines each: several pages.
void WriteTwoBooks(const TTempHome& home) {
  std::string text;
  for (int i = 0; i < 600; ++i) text += "line " + std::to_string(i) + "\r\n";
  home.Write("a.txt", text);
  home.Write("b.txt", text);
}

// The window's own history handling: the screen's reading position goes
// back into entry 0 before a new file goes in front.
TEST(FileHistory, WindowRecordsTheReadingPositionOfTheDocumentItLeaves) {
  TTempHome home;
  WriteTwoBooks(home);
  auto log = std::make_shared<TScriptedDialogs::TLog>();
  auto form = MakeWindow({home.Path("a.txt")}, log);
  form->FormCreate();
  form->GoToPage(4);
  const int32_t position = form->Book->SourceLineOf(form->TopLine);
  ASSERT_GT(position, 0);
  form->OpenDocument(home.Path("b.txt"), -1, "");
  EXPECT_EQ(form->History[0].FullPath, home.Path("b.txt"));
  EXPECT_EQ(form->History[1].FullPath, home.Path("a.txt"));
  EXPECT_EQ(form->History[1].BookMark, position);
  // Back to a.txt through the history: the same page.
  form->OpenDocument(home.Path("a.txt"), -1, "");
  EXPECT_EQ(form->Book->SourceLineOf(form->TopLine), position);
  EXPECT_EQ(form->History[1].FullPath, home.Path("b.txt"));
  EXPECT_EQ(form->History[2].FullPath, "");
  EXPECT_TRUE(log->Messages.empty());
}

// Two windows on one settings folder: each save merges with what the other
// saved, so neither reading place is lost, and keys of an entry this code
// does not know travel with the entry.
TEST(FileHistory, TwoWindowsKeepEachOthersReadingPlaces) {
  TTempHome home;
  WriteTwoBooks(home);
  home.Write("rpv.ini", "[FH0]\r\nFullPath=/old.txt\r\nBookMark=7\r\nOffset=123\r\n");
  auto log = std::make_shared<TScriptedDialogs::TLog>();
  auto a = MakeWindow({home.Path("a.txt")}, log);
  a->FormCreate();
  auto b = MakeWindow({home.Path("b.txt")}, log);
  b->FormCreate();
  a->GoToPage(14);
  const int32_t position = a->Book->SourceLineOf(a->TopLine);
  ASSERT_GT(position, 0);
  a->close();
  b->close();
  const TIniFile ini(home.Path("rpv.ini"));
  TFileHistoryList saved;
  saved.Read(ini);
  EXPECT_EQ(saved[0].FullPath, home.Path("b.txt")) << "the last closer's own entry first";
  EXPECT_EQ(saved[1].FullPath, home.Path("a.txt"));
  EXPECT_EQ(saved[1].BookMark, position);
  EXPECT_EQ(saved[2].FullPath, "/old.txt");
  EXPECT_EQ(ini.ReadString("FH2", "Offset", ""), "123");
  EXPECT_EQ(saved[3].FullPath, "");
  EXPECT_FALSE(ini.ValueExists("FH0", "Offset")) << "no key stays behind with another entry";
  EXPECT_TRUE(log->Messages.empty());
}

}  // namespace
}  // namespace rpv::test
