// Page and line steps, page jump, find, automatic advance, blank lines and
// the neighbouring files, on a page of exactly 10 lines.
#include <QTimer>

#include "AppTestSupport.h"
#include "render/BookClass.h"

namespace rpv::test {
namespace {

class Navigation : public ::testing::Test {
 protected:
  void SetUp() override {
    home_.Write("info.ini", PlainPageStyle());
    std::filesystem::create_directories(home_.Native() / "books" / "sub.txt");
    home_.Write("books/a.txt", Lines(25));
    home_.Write("books/B.txt", Lines(12));
    home_.Write("books/c.txt", Lines(25));
    home_.Write("books/Z.TXT", Lines(3));
    home_.Write("books/note.dat", Lines(25));
    home_.Write("books/picture.bmp", "BM");
  }

  static std::string Lines(int n, int marked = -1) {
    std::string text;
    for (int i = 0; i < n; ++i)
      text += Utf8ToCp932(i == marked ? "目印の行" : "行" + std::to_string(i)) + "\r\n";
    return text;
  }

  // Opens the file and sizes the page to 10 lines.
  void Open(std::string_view name) {
    form_ = MakeWindow({home_.Path(std::string("books/") + std::string(name))}, log_);
    form_->FormCreate();
    const int height = FitPageToLines(*form_, 10);
    ASSERT_GT(height, 0);
    ASSERT_EQ(form_->ClientHeight(), height);
    ASSERT_EQ(form_->Book->LinesPerPage(), 10);
  }

  int32_t L() const { return form_->Book->LinesPerPage(); }
  int32_t N() const { return form_->Book->LineCount(); }

  TTempHome home_;
  std::shared_ptr<TScriptedDialogs::TLog> log_ = std::make_shared<TScriptedDialogs::TLog>();
  std::unique_ptr<TfrmRPV> form_;
};

TEST_F(Navigation, TenLinesPerPageTwentyFiveLines) {
  Open("a.txt");
  ASSERT_EQ(N(), 25);
  EXPECT_EQ(form_->TopLine, 0);

  form_->GoEnd();
  EXPECT_EQ(form_->TopLine, 20) << "the last page shows lines 20..24";
  form_->LineForward();
  EXPECT_EQ(form_->LineOffset, 0) << "no line steps on the last page";
  EXPECT_TRUE(log_->Confirmations.empty());

  form_->GoHead();
  EXPECT_EQ(form_->TopLine, 0);
  form_->PageForward();
  EXPECT_EQ(form_->TopLine, 10);
  // Three line steps, then a page back: the page the steps began from.
  for (int i = 0; i < 3; ++i) form_->LineForward();
  EXPECT_EQ(form_->TopLine, 10);
  EXPECT_EQ(form_->LineOffset, 3);
  form_->PageBack();
  EXPECT_EQ(form_->TopLine, 10);
  EXPECT_EQ(form_->LineOffset, 0);
  // A line back from a page start: the previous page, one line on.
  form_->LineBack();
  EXPECT_EQ(form_->TopLine, 0);
  EXPECT_EQ(form_->LineOffset, 9);
  form_->LineForward();
  EXPECT_EQ(form_->TopLine, 10);
  EXPECT_EQ(form_->LineOffset, 0);
  form_->LineBack();
  form_->LineBack();
  EXPECT_EQ(form_->LineOffset, 8);
  form_->PageForward();
  EXPECT_EQ(form_->TopLine, 10) << "a page step starts from TopLine";
  EXPECT_EQ(form_->LineOffset, 0);
  form_->GoHead();
  form_->LineBack();
  EXPECT_EQ(form_->TopLine, 0);
  EXPECT_EQ(form_->LineOffset, 0);

  // Past the end: the next file of the folder is offered, titled with the
  // file name; OK opens it.
  form_->GoEnd();
  log_->ConfirmAnswers.push_back(true);
  form_->PageForward();
  ASSERT_EQ(log_->Confirmations.size(), 1u);
  EXPECT_EQ(log_->Confirmations[0], "\"B.txt\"を開きます。");
  EXPECT_EQ(log_->ConfirmTitles[0], "a.txt");
  EXPECT_EQ(form_->History[0].FullPath, home_.Path("books/B.txt"));
  EXPECT_EQ(form_->TopLine, 0);
  EXPECT_EQ(form_->History[1].FullPath, home_.Path("books/a.txt"));
  EXPECT_TRUE(log_->Messages.empty());
}

TEST_F(Navigation, PageJumpAsksAgainOutOfRangeAndGivesUpOnText) {
  Open("a.txt");
  log_->InputAnswers = {"0", "4", "3"};
  form_->PageJump();
  EXPECT_EQ(log_->Prompts, (std::vector<std::string>{"", "0", "4"}));
  EXPECT_EQ(log_->Messages,
            (std::vector<std::string>{"存在するページの範囲外です。", "存在するページの範囲外です。"}));
  EXPECT_EQ(form_->TopLine, 20);

  log_->Messages.clear();
  log_->Prompts.clear();
  log_->InputAnswers = {"二"};
  form_->PageJump();
  EXPECT_EQ(log_->Messages, std::vector<std::string>{"数字を入力して下さい。"});
  EXPECT_EQ(log_->Prompts.size(), 1u);
  EXPECT_EQ(form_->TopLine, 20);

  // Cancel at the first prompt, or after an out-of-range page.
  log_->Messages.clear();
  log_->InputAnswers = {std::nullopt};
  form_->PageJump();
  log_->InputAnswers = {"-1", std::nullopt};
  form_->PageJump();
  log_->InputAnswers = {"99999999999"};
  form_->PageJump();
  EXPECT_EQ(log_->Messages, (std::vector<std::string>{"存在するページの範囲外です。",
                                                      "数字を入力して下さい。"}));
  EXPECT_EQ(form_->TopLine, 20);
  log_->InputAnswers = {"2147483647"};
  form_->PageJump();
  EXPECT_EQ(form_->TopLine, 20);
  log_->InputAnswers = {"1"};
  form_->PageJump();
  EXPECT_EQ(form_->TopLine, 0);
}

TEST_F(Navigation, AutomaticPagesStopSilentlyOnTheLastPage) {
  Open("a.txt");
  form_->mnuOAuto->trigger();
  ASSERT_TRUE(form_->mnuOAuto->isChecked());
  const auto ticks = [&](int n) {
    for (int i = 0; i < n; ++i) form_->tmrAutoTimer();
  };
  ticks(9);
  EXPECT_EQ(form_->TopLine, 0) << "ten seconds per page";
  ticks(1);
  EXPECT_EQ(form_->TopLine, 10);
  ticks(10);
  EXPECT_EQ(form_->TopLine, 20);
  ticks(50);
  EXPECT_EQ(form_->TopLine, 20);
  EXPECT_TRUE(log_->Confirmations.empty());
  EXPECT_TRUE(form_->mnuOAuto->isChecked()) << "the mode stays on";
  // The user's own step there still offers the next file.
  form_->PageForward();
  EXPECT_EQ(log_->Confirmations.size(), 1u);

  // Line mode: one line every two seconds, and it stops at the last page.
  form_->GoHead();
  form_->mnuOAutoLine->trigger();
  EXPECT_FALSE(form_->mnuOAuto->isChecked());
  ticks(1);
  EXPECT_EQ(form_->LineOffset, 0);
  ticks(1);
  EXPECT_EQ(form_->LineOffset, 1);
  ticks(18);
  EXPECT_EQ(form_->TopLine, 10);
  EXPECT_EQ(form_->LineOffset, 0);
  ticks(60);
  EXPECT_EQ(form_->TopLine, 20);
  EXPECT_EQ(form_->LineOffset, 0);
  EXPECT_EQ(log_->Confirmations.size(), 1u);

  // Neither mode: nothing moves.
  form_->mnuOAutoLine->trigger();
  form_->GoHead();
  ticks(30);
  EXPECT_EQ(form_->TopLine, 0);
}

TEST_F(Navigation, NeighbourFilesAtBothEndsOfTheFolder) {
  // The first file: stepping back on its first page offers nothing.
  Open("a.txt");
  form_->PageBack();
  EXPECT_TRUE(log_->Confirmations.empty());
  // The listing: readable files only, sorted without regard to case.
  form_->FormKeyDown(kVkR, Qt::ControlModifier);
  EXPECT_EQ(log_->Messages, std::vector<std::string>{"a.txt\nB.txt\nc.txt\nZ.TXT\n"});
  form_.reset();

  // The last file: stepping on from its last page offers nothing; back
  // from its first page offers the one before. Cancel keeps it.
  Open("Z.TXT");
  form_->PageForward();
  EXPECT_TRUE(log_->Confirmations.empty());
  form_->PageBack();
  ASSERT_EQ(log_->Confirmations.size(), 1u);
  EXPECT_EQ(log_->Confirmations[0], "\"c.txt\"を開きます。");
  EXPECT_EQ(form_->History[0].FullPath, home_.Path("books/Z.TXT"));
  form_.reset();

  // A file that is not among them: the first of the list is next.
  log_->Confirmations.clear();
  Open("note.dat");
  form_->GoEnd();
  form_->PageForward();
  ASSERT_EQ(log_->Confirmations.size(), 1u);
  EXPECT_EQ(log_->Confirmations[0], "\"a.txt\"を開きます。");
  form_->PageBack();
  form_->GoHead();
  form_->PageBack();
  EXPECT_EQ(log_->Confirmations.size(), 1u) << "nothing before it";
}

TEST_F(Navigation, FindShowsThePageOfTheNextMatch) {
  home_.Write("books/a.txt", Lines(25, 17));
  Open("a.txt");
  form_->ShowFindDialog();
  EXPECT_EQ(log_->FindShown, 1);
  EXPECT_EQ(log_->FindOptions, kFindOptionDown);
  ASSERT_TRUE(log_->Find);
  log_->Find(Utf8ToCp932("目印"), kFindOptionDown);
  EXPECT_EQ(form_->TopLine, 10);
  // Searching on from that page finds nothing more: the page stays, with
  // no message.
  log_->Find(Utf8ToCp932("目印"), kFindOptionDown);
  EXPECT_EQ(form_->TopLine, 10);
  log_->Find(Utf8ToCp932("ありません"), kFindOptionDown);
  EXPECT_EQ(form_->TopLine, 10);
  // Upward from the last page.
  form_->GoEnd();
  log_->Find(Utf8ToCp932("目印"), 0);
  EXPECT_EQ(form_->TopLine, 10);
  EXPECT_TRUE(log_->Messages.empty());
}

TEST_F(Navigation, BlankLineRemovalReLaysOutAtTheSamePlace) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += Utf8ToCp932("行" + std::to_string(i)) + "\r\n\r\n";
  home_.Write("books/a.txt", text);
  Open("a.txt");
  ASSERT_EQ(N(), 80);
  form_->GoToPage(3);
  form_->mnuODelNewLine->trigger();
  EXPECT_TRUE(form_->mnuODelNewLine->isChecked());
  EXPECT_TRUE(form_->Book->DeleteBlankLines);
  EXPECT_EQ(N(), 40);
  EXPECT_EQ(form_->TopLine % L(), 0);
  form_->mnuODelNewLine->trigger();
  EXPECT_EQ(N(), 80);
}

TEST_F(Navigation, EmptyWindowIgnoresEverySteps) {
  form_ = MakeWindow({}, log_);
  form_->FormCreate();
  ASSERT_LT(form_->TopLine, 0);
  form_->PageForward();
  form_->PageBack();
  form_->LineForward();
  form_->LineBack();
  form_->GoEnd();
  form_->GoHead();
  form_->FormKeyDown(kVkR, Qt::ControlModifier);
  form_->FormKeyDown(kVkF6, Qt::NoModifier);
  // Page jump and find are off until a document is read.
  EXPECT_FALSE(form_->mnuMPageJump->isEnabled());
  EXPECT_FALSE(form_->mnuMFind->isEnabled());
  log_->InputAnswers = {"1"};
  form_->PageJump();
  form_->ShowFindDialog();
  EXPECT_LT(form_->TopLine, 0);
  EXPECT_TRUE(log_->Prompts.empty());
  EXPECT_EQ(log_->FindShown, 0);
  EXPECT_TRUE(log_->Messages.empty());
  EXPECT_TRUE(log_->Confirmations.empty());
}

}  // namespace
}  // namespace rpv::test
