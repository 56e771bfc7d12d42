// Books out of archives in the window: the chooser's answer opens the
// member, Esc opens nothing, the history and bookmarks bring a member back
// when its copy is gone, and EndOpt sends the archive folder to the trash.
#include <QTimer>
#include <filesystem>

#include "AppTestSupport.h"
#include "platform/IniFile.h"
#include "render/BookClass.h"
#include "tests/support/ArchiveBuilder.h"

namespace rpv::test {
namespace {

const std::filesystem::path kBocchan =
    std::filesystem::path(RPV_SOURCE_DIR) / "../shared/corpus/bocchan.sjis.txt";

class ArchiveWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kBocchan)) GTEST_SKIP() << "no corpus: " << kBocchan;
    home_.Write("info.ini", PlainPageStyle());
    book_ = *ReadWholeFile(FromNativePath(kBocchan));
    zip_ = home_.Write("novels.zip", MakeZip({{"明治/bocchan.txt", book_, ""}, {"明治/memo.txt", "m", ""}},
                                             "zip:hdrcharset=CP932"));
    copy_ = home_.Path("archive/bocchan.txt");
  }

  TTempHome home_;
  std::shared_ptr<TScriptedDialogs::TLog> log_ = std::make_shared<TScriptedDialogs::TLog>();
  std::string book_, zip_, copy_;
};

TEST_F(ArchiveWindow, ChoosingEscapingAndReopeningAMember) {
  home_.Write("a.txt", S("ほかの本\r\n"));
  auto form = MakeWindow({}, log_);
  form->FormCreate();
  form->OpenDocument(home_.Path("a.txt"), -1, "");

  // Esc in the chooser: nothing opens, the book on screen stays.
  const TFileHistoryList before = form->History;
  form->OpenDocument(zip_, -1, "");
  EXPECT_EQ(log_->Chooser, std::vector<std::string>{U(zip_)});
  EXPECT_EQ(form->Book->FileName, "a.txt");
  EXPECT_EQ(form->History[0], before[0]);

  // Chosen from a sub-folder: the copy lies directly in archive/, and the
  // history keeps it with its archive.
  log_->MemberAnswers.push_back("明治/bocchan.txt");
  form->OpenDocument(zip_, -1, "");
  ASSERT_EQ(form->History[0].FullPath, copy_);
  EXPECT_EQ(form->History[0].Archive, zip_);
  EXPECT_EQ(home_.Read("archive/bocchan.txt"), book_);
  EXPECT_EQ(form->Book->FileName, "bocchan.txt");
  EXPECT_EQ(form->windowTitle().toStdString(), U(copy_) + " - 【瑠頁～るぺい～】");
  EXPECT_GT(form->Book->PageCount, 10);
  form->ShowAtPosition(400);
  const TReadingPosition position = form->ReadingPosition;
  EXPECT_GT(position.Line, 0);
  form->OpenDocument(home_.Path("a.txt"), -1, "");
  ASSERT_EQ(form->History[1].FullPath, copy_);
  EXPECT_EQ(form->History[1].Position(), position);

  // The copy is gone: the history (and a bookmark, by the same call)
  // extracts it again without the chooser, at the stored position.
  std::filesystem::remove(NativePath(copy_));
  const TFileHistory entry = form->History[1];
  form->OpenDocument(entry.FullPath, entry.Position(), entry.Archive);
  EXPECT_EQ(log_->Chooser.size(), 2u);
  EXPECT_EQ(form->History[0], (TFileHistory{copy_, position.Line, zip_, position.Offset, {}}));
  EXPECT_EQ(form->TopLine, form->Book->BuildLines(position));
  EXPECT_EQ(home_.Read("archive/bocchan.txt"), book_);

  // A member the archive no longer has: the chooser instead.
  std::filesystem::remove(NativePath(copy_));
  home_.Write("novels.zip", MakeZip({{"other.txt", "o", ""}}));
  form->OpenDocument(entry.FullPath, entry.BookMark, entry.Archive);
  EXPECT_EQ(log_->Chooser.size(), 3u);
  EXPECT_EQ(form->Book->FileName, "bocchan.txt");
  EXPECT_TRUE(log_->Messages.empty());
  EXPECT_TRUE(form->tmrAuto->isActive());
}

TEST_F(ArchiveWindow, StartingAgainFromTheHistoryExtractsTheGoneCopy) {
  // Quit with the member at a position, delete the copy, start again.
  log_->MemberAnswers.push_back("明治/bocchan.txt");
  TReadingPosition position;
  {
    auto form = MakeWindow({zip_}, log_);
    form->FormCreate();
    form->ShowAtPosition(300);
    position = form->ReadingPosition;
    form->close();
  }
  std::filesystem::remove(NativePath(copy_));
  auto form = MakeWindow({}, log_);
  form->FormCreate();
  EXPECT_EQ(log_->Chooser.size(), 1u);
  EXPECT_EQ(form->History[0], (TFileHistory{copy_, position.Line, zip_, position.Offset, {}}));
  EXPECT_EQ(form->TopLine, form->Book->BuildLines(position));
  EXPECT_TRUE(log_->Messages.empty());
}

TEST_F(ArchiveWindow, EndOptMovesTheArchiveFolderToTheTrash) {
  // The trash of the test's own data folder, which does not exist yet (Qt
  // alone would then move the folder into the current directory).
  TEnvVar data("XDG_DATA_HOME", FromNativePath(home_.Native() / "data"));
  for (const int endOpt : {0, 1}) {
    home_.Write("rpv.ini", "[General]\r\nEndOpt=" + std::to_string(endOpt) + "\r\n");
    log_->MemberAnswers.push_back("明治/memo.txt");
    auto form = MakeWindow({zip_}, log_);
    form->FormCreate();
    ASSERT_TRUE(FileExists(home_.Path("archive/memo.txt")));
    form->close();
    EXPECT_EQ(DirectoryExists(home_.Path("archive")), endOpt == 0) << endOpt;
  }
  EXPECT_TRUE(std::filesystem::exists(home_.Native() / "data/Trash/files/archive/memo.txt"));
}

}  // namespace
}  // namespace rpv::test
