// The bookmark commands and the しおり menu of the window: what a bookmark
// records, reading it back, both menu forms, the manager's OK and Cancel,
// and a bm.csv that does not read at start-up.
#include <QMenu>
#include <QTimer>

#include "AppTestSupport.h"
#include "bookmarks/rpvBookMark.h"
#include "render/BookClass.h"

namespace rpv::test {
namespace {

class BookmarkWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    home_.Write("info.ini", PlainPageStyle());
    std::string text;
    for (int i = 0; i < 60; ++i) text += Utf8ToCp932("行" + std::to_string(i)) + "\r\n";
    a_ = home_.Write("a.txt", text);
    b_ = home_.Write("b.txt", text);
  }

  // bm.csv of (path, line, visible) bookmarks.
  void WriteStore(const std::vector<std::tuple<std::string, int, bool>>& marks) {
    TBookMarks store;
    for (const auto& [path, line, visible] : marks) {
      TBookMark& m = *store.Items(store.Add());
      m.FullPath = path;
      m.Line = line;
      m.Visible = visible;
      m.DateTime = "2004/05/06 9:05:03";
    }
    store.SaveToFile(home_.Path("bm.csv"));
  }

  void Start(std::vector<std::string> args, int type = 0) {
    form_.reset();
    home_.Write("rpv.ini", "[BookMarks]\r\nType=" + std::to_string(type) + "\r\n");
    form_ = MakeWindow(std::move(args), log_);
    form_->FormCreate();
    ASSERT_GT(FitPageToLines(*form_, 10), 0);
  }

  // The bookmark items of the menu (below 追加, 編集 and the separator).
  QList<QAction*> Items() const { return form_->mnuB->actions().mid(3); }
  static std::string Text(const QAction* item) { return item->text().toStdString(); }

  TTempHome home_;
  std::string a_, b_;
  std::shared_ptr<TScriptedDialogs::TLog> log_ = std::make_shared<TScriptedDialogs::TLog>();
  std::unique_ptr<TfrmRPV> form_;
};

TEST_F(BookmarkWindow, ABookmarkRecordsThePageTopAndReadsBackThere) {
  WriteStore({{b_, 7, true}});
  Start({a_});
  ASSERT_EQ(form_->Book->LinesPerPage(), 10);
  form_->PageForward();
  form_->PageForward();
  form_->LineForward();
  form_->LineForward();
  ASSERT_EQ(form_->TopLine, 20);
  ASSERT_EQ(form_->LineOffset, 2);
  form_->RunCommand(TCommand::SetBookmark);

  ASSERT_EQ(form_->BookMarks->Count(), 2);
  const TBookMark& mark = *form_->BookMarks->Items(0);
  EXPECT_EQ(mark.FullPath, a_);
  EXPECT_EQ(mark.Line, form_->Book->SourceLineOf(20) + 1);
  EXPECT_EQ(mark.Line, 21);
  EXPECT_TRUE(mark.Visible);
  EXPECT_EQ(mark.DateTime.size() >= 10 ? mark.DateTime[4] : 0, '/');
  // On disk at once, the new bookmark first.
  EXPECT_EQ(home_.Read("bm.csv").rfind("\"" + a_ + "\",\"21\",", 0), 0u) << home_.Read("bm.csv");
  ASSERT_EQ(Items().size(), 2);
  EXPECT_EQ(Text(Items()[0]), "a.txt(" + mark.DateTime.substr(0, 10) + ") 21行目");

  form_->GoHead();
  form_->RunCommand(TCommand::ReadBookmark);
  EXPECT_EQ(form_->TopLine, 20);
  EXPECT_EQ(form_->LineOffset, 0);

  // The older bookmark from the menu: the other file, from its line 7.
  Items()[1]->trigger();
  EXPECT_EQ(form_->History[0].FullPath, b_);
  EXPECT_EQ(form_->Book->SourceLineOf(form_->TopLine), 0) << "line 7 is on the first page";
  EXPECT_TRUE(log_->Messages.empty()) << log_->Messages.front();

  // A bookmark whose file (and archive) is gone: the usual message.
  WriteStore({{home_.Path("gone.txt"), 1, true}});
  form_->ReloadBookMarks();
  form_->ReadBookmark();
  ASSERT_EQ(log_->Messages.size(), 1u);
  EXPECT_EQ(log_->Messages[0], "\"" + home_.Path("gone.txt") + "\"は開けません。");
}

TEST_F(BookmarkWindow, HiddenBookmarksAreInNeitherFormAndGroupsOfOneOpenDirectly) {
  const std::string c = home_.Path("c.txt");
  WriteStore({{a_, 5, true}, {b_, 11, true}, {c, 1, false}, {b_, 21, true},
              {a_, 31, false}, {b_, 41, true}});
  Start({});
  ASSERT_EQ(Items().size(), 4);
  EXPECT_EQ(Text(Items()[0]), "a.txt(2004/05/06) 5行目");
  EXPECT_EQ(Items()[3]->data().toInt(), 5);
  for (const QAction* item : Items()) EXPECT_EQ(Text(item).find("c.txt"), std::string::npos);

  Start({}, 1);
  const QList<QAction*> groups = Items();
  ASSERT_EQ(groups.size(), 2) << "a (one visible), b (three); c hidden";
  EXPECT_EQ(Text(groups[0]), "a.txt");
  EXPECT_EQ(groups[0]->menu(), nullptr);
  QMenu* b = groups[1]->menu();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(Text(groups[1]), "b.txt");
  emit b->aboutToShow();
  ASSERT_EQ(b->actions().size(), 3);
  EXPECT_EQ(Text(b->actions()[2]), "2004/05/06 41行目");
  b->actions()[2]->trigger();
  EXPECT_EQ(form_->History[0].FullPath, b_);
  EXPECT_EQ(form_->Book->SourceLineOf(form_->TopLine), 40);
  groups[0]->trigger();
  EXPECT_EQ(form_->History[0].FullPath, a_);
  EXPECT_TRUE(log_->Messages.empty()) << log_->Messages.front();
}

TEST_F(BookmarkWindow, AHundredThousandBookmarksMakeASmallMenu) {
  std::string text;
  for (int i = 0; i < 100000; ++i)
    text += "\"/books/" + std::to_string(i % 5000) + ".txt\",\"" + std::to_string(i + 1) +
            "\",\"2004/05/06 9:05:03\",\"\",\"-1\",\"\"\r\n";
  home_.Write("bm.csv", text);
  for (const int type : {0, 1}) {
    Start({}, type);
    ASSERT_EQ(form_->BookMarks->Count(), 100000);
    EXPECT_LE(Items().size(), 35);
    QMenu* last = Items().back()->menu();
    ASSERT_NE(last, nullptr);
    emit last->aboutToShow();
    EXPECT_LE(last->actions().size(), 35);
  }
}

TEST_F(BookmarkWindow, TheManagersOkReloadsTheStoreCancelDoesNot) {
  WriteStore({{a_, 1, true}});
  Start({a_});
  std::string seen;
  log_->EditBookMarks = [&](const std::string& path) {
    seen = path;
    WriteStore({{a_, 1, true}, {b_, 2, true}});
    return false;
  };
  form_->mnuBEditClick();
  EXPECT_EQ(seen, Cp932ToUtf8(home_.Path("bm.csv")));
  EXPECT_EQ(form_->BookMarks->Count(), 1) << "Cancel";
  EXPECT_TRUE(form_->tmrAuto->isActive());

  log_->EditBookMarks = [](const std::string&) { return true; };
  form_->mnuBEditClick();
  EXPECT_EQ(form_->BookMarks->Count(), 2);
  EXPECT_EQ(Items().size(), 2);
  EXPECT_TRUE(form_->tmrAuto->isActive());
}

TEST_F(BookmarkWindow, AnUnreadableFileIsReportedAndNeverWrittenOver) {
  const std::string broken =
      "\"" + a_ + "\",\"3\",\"\",\"\",\"-1\",\"\"\r\n\"" + b_ + "\",\"x\",\"\",\"\",\"-1\",\"\"\r\n";
  home_.Write("bm.csv", broken);
  Start({a_});
  ASSERT_EQ(log_->Messages.size(), 1u);
  EXPECT_NE(log_->Messages[0].find("2 行目"), std::string::npos) << log_->Messages[0];
  EXPECT_NE(log_->Messages[0].find("bm.csv"), std::string::npos) << log_->Messages[0];
  EXPECT_EQ(form_->BookMarks->Count(), 0);
  EXPECT_TRUE(Items().isEmpty());

  form_->SetBookmark();
  ASSERT_EQ(log_->Messages.size(), 2u);
  EXPECT_NE(log_->Messages[1].find("しおりを保存できません"), std::string::npos);
  EXPECT_EQ(form_->BookMarks->Count(), 0);
  EXPECT_EQ(home_.Read("bm.csv"), broken);

  // Repaired meanwhile: its bookmarks stay and the new one goes first.
  WriteStore({{b_, 9, true}});
  form_->PageForward();
  form_->SetBookmark();
  ASSERT_EQ(form_->BookMarks->Count(), 2);
  EXPECT_EQ(form_->BookMarks->Items(0)->Line, 11);
  EXPECT_EQ(form_->BookMarks->Items(1)->FullPath, b_);
  EXPECT_EQ(Items().size(), 2);
  EXPECT_EQ(log_->Messages.size(), 2u);
}

TEST_F(BookmarkWindow, NoDocumentNoBookmark) {
  Start({});
  form_->SetBookmark();
  form_->ReadBookmark();
  EXPECT_EQ(form_->BookMarks->Count(), 0);
  EXPECT_FALSE(std::filesystem::exists(home_.Native() / "bm.csv"));
  EXPECT_TRUE(log_->Messages.empty());
}

TEST_F(BookmarkWindow, ABookmarkInsideALongParagraphReopensItsOwnPage) {
  // Ten short lines, then one paragraph of many pages.
  std::string text;
  for (int i = 0; i < 10; ++i) text += Utf8ToCp932("行" + std::to_string(i)) + "\r\n";
  // Characters that vary, so no two display lines read the same.
  const std::string run = Utf8ToCp932("吾輩は猫である。名前はまだ無い、どこで生れたか見当がつかぬ。何でも薄暗");
  for (size_t i = 0; i < 3000; ++i) text += run.substr((i * 2) % run.size(), 2);
  text += "\r\n";
  for (int i = 0; i < 10; ++i) text += Utf8ToCp932("後" + std::to_string(i)) + "\r\n";
  const std::string novel = home_.Write("novel.txt", text);
  Start({novel});
  // The third page of the paragraph: the second that opens inside it.
  int inside = 0;
  for (int page = 0; page < 20 && inside < 2; ++page) {
    form_->PageForward();
    if (form_->Book->PositionAt(form_->TopLine).Offset > 0) ++inside;
  }
  ASSERT_EQ(inside, 2);
  const int32_t top = form_->TopLine;
  const std::string first = form_->Book->DisplayLines.Item(top)->Text.str();
  form_->LineForward();  // a line step is not the page top
  form_->SetBookmark();
  ASSERT_EQ(form_->BookMarks->Count(), 1);
  EXPECT_EQ(form_->BookMarks->Items(0)->Line, 11) << "bm.csv still names the source line";

  const auto reopen = [&] {
    form_->OpenDocument(a_, 30, "");
    form_->ReadBookmark();
    return form_->History[0].FullPath == novel && form_->TopLine == top &&
           form_->Book->DisplayLines.Item(top)->Text.str() == first;
  };
  EXPECT_TRUE(reopen()) << "top " << form_->TopLine << ", marked " << top;
  Start({a_});
  EXPECT_TRUE(reopen()) << "after a restart: top " << form_->TopLine;

  // A garbled side file (or one without the entry, as rpvmark leaves it):
  // the paragraph's start, no message; the next bookmark writes it anew.
  home_.Write("bm.pos", std::string("\"x\",\"1\r\n\0\xff\"\",,,\n", 16) + "\"" + novel + "\",\"11\"\r\n");
  form_->ReadBookmark();
  EXPECT_LT(form_->TopLine, top);
  EXPECT_EQ(form_->Book->SourceLineOf(form_->TopLine + form_->Book->LinesPerPage() - 1), 10);
  form_->OpenDocument(novel, TReadingPosition{10, form_->Book->PositionAt(top).Offset}, "");
  form_->SetBookmark();
  EXPECT_TRUE(reopen());
  EXPECT_EQ(home_.Read("bm.pos").find("\"x\""), std::string::npos) << home_.Read("bm.pos");
  EXPECT_TRUE(log_->Messages.empty()) << log_->Messages.front();
}

}  // namespace
}  // namespace rpv::test
