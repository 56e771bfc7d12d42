// The window with its book laid out beside it: the page asked for shows
// before the book is laid out, commands given meanwhile reach the page they
// would reach with the whole book laid out, a resize re-lays out at the
// reading position, and a window closed mid-layout goes cleanly. What is
// asserted holds whatever the timing; a 3 MB book keeps the worker busy
// long enough that the waits are usually taken.
#include <QTest>

#include "AppTestSupport.h"
#include "app/LayoutRunner.h"
#include "render/BookClass.h"

namespace rpv::test {
namespace {

class BackgroundLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    home_.Write("info.ini", PlainPageStyle());
    std::string text;
    for (int i = 0; text.size() < 3'000'000; ++i) {
      text += Utf8ToCp932("第" + std::to_string(i) + "段。吾輩は猫である。名前はまだ無い。どこで生れたか"
                          "とんと見当がつかぬ。何でも薄暗いじめじめした所でニャーニャー泣いていた事"
                          "だけは記憶している。") + "\r\n";
      if (i % 5 == 0) text += "\r\n";
    }
    text += Utf8ToCp932("最後の目印") + "\r\n";
    path_ = home_.Write("big.txt", text);
  }

  // A window on the book whose layout runs beside it.
  std::unique_ptr<TfrmRPV> Open() {
    auto form = MakeWindow({path_}, log_);
    form->BackgroundLayoutBytes = 0;
    form->FormCreate();
    return form;
  }

  static void WaitForPage(TfrmRPV& form) {
    for (int i = 0; i < 2000 && form.AwaitingPage(); ++i) QTest::qWait(5);
    ASSERT_FALSE(form.AwaitingPage());
  }

  // The lines of the same book laid out at once, as the comparison.
  static std::unique_ptr<TBookClass> LaidOutAtOnce(const TfrmRPV& form) {
    auto book = std::make_unique<TBookClass>();
    book->Style = form.Book->Style;
    book->LoadFromFile(form.Book->FileDir + form.Book->FileName);
    book->LayoutThreads = 1;
    book->BuildLines(0);
    return book;
  }

  TTempHome home_;
  std::shared_ptr<TScriptedDialogs::TLog> log_ = std::make_shared<TScriptedDialogs::TLog>();
  std::string path_;
};

TEST_F(BackgroundLayout, CommandsDuringLayoutReachTheirPages) {
  auto form = Open();
  WaitForPage(*form);
  EXPECT_EQ(form->TopLine, 0);
  const int32_t perPage = form->Book->LinesPerPage();
  if (!form->Book->LayoutComplete) {
    // The footer's count is not known yet.
    EXPECT_NE(form->Book->FormatHeaderFooter("%p/%P", 0).find("\x81\x63"), std::string::npos);
  }
  form->PageForward();
  EXPECT_EQ(form->TopLine, perPage);
  ASSERT_TRUE(form->GoToPage(400));
  EXPECT_EQ(form->TopLine, 399 * perPage);
  // Searching waits for the whole book; the match is on the last page.
  ASSERT_TRUE(form->dlgFindFind(Utf8ToCp932("最後の目印"), 1));
  ASSERT_TRUE(form->Book->LayoutComplete);

  const auto plain = LaidOutAtOnce(*form);
  ASSERT_EQ(form->Book->LineCount(), plain->LineCount());
  for (int32_t i = 0; i < plain->LineCount(); i += 997)
    ASSERT_EQ(form->Book->DisplayLines.Item(i)->Text.str(), plain->DisplayLines.Item(i)->Text.str());
  EXPECT_EQ(form->Book->PageCount, plain->PageCount);
  EXPECT_EQ(form->TopLine, form->Book->PageTopOf(plain->LineCount() - 1));
  form->GoHead();
  form->GoEnd();
  EXPECT_EQ(form->TopLine, (plain->LineCount() - 1) / perPage * perPage);
  EXPECT_EQ(form->Book->FormatHeaderFooter("%P", 0), std::to_string(plain->PageCount));
}

TEST_F(BackgroundLayout, ResizesRestartsAndClosingMidLayout) {
  auto form = Open();
  WaitForPage(*form);
  ASSERT_TRUE(form->GoToPage(300));
  form->LineForward();
  const TReadingPosition start = form->ReadingPosition;
  ASSERT_GT(start.Line, 0);
  for (int i = 0; i < 3; ++i) {
    // A second resize lands while the first layout is still running.
    form->resize(form->width() + 90, form->height() + 40);
    form->resize(form->width() - 90, form->height() - 40);
    WaitForPage(*form);
    EXPECT_EQ(form->ReadingPosition, start) << "round trip " << i;
    EXPECT_EQ(form->TopLine, form->Book->PageTopOf(form->Book->DisplayLineAt(start)));
  }
  form.reset();
  // The saved place is the reading position, also when the window closes
  // before its page is laid out.
  form = Open();
  ASSERT_TRUE(form->AwaitingPage());
  form.reset();
  form = Open();
  WaitForPage(*form);
  EXPECT_EQ(form->ReadingPosition, start);
  // Closed at once, with the layout running: nothing leaks, nothing races
  // (this runs under the sanitizers too).
  for (int i = 0; i < 3; ++i) {
    form = Open();
    form->close();
    form.reset();
  }
}

}  // namespace
}  // namespace rpv::test
