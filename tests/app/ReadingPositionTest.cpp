// The exact reading position through every new layout and every restart,
// and find inside long paragraphs, on a book whose paragraphs each fill
// several pages.
#include <QCoreApplication>

#include "AppTestSupport.h"
#include "platform/IniFile.h"
#include "render/BookClass.h"

namespace rpv {
// Readable failures.
inline void PrintTo(const TReadingPosition& p, std::ostream* os) {
  *os << "{" << p.Line << ", " << p.Offset << "}";
}
}  // namespace rpv

namespace rpv::test {
namespace {

// Paragraph p: "第p段" and `chars` characters of running text with its
// punctuation (so line-head and line-end rules move the cuts). `marks`
// puts "目印" in place of the running text at these character counts.
std::string Paragraph(int p, int chars, std::vector<int> marks = {}) {
  static const std::vector<std::string> kRun = {
      "吾", "輩", "は", "猫", "で", "あ", "る", "。", "名", "前", "は", "ま", "だ", "無",
      "い", "、", "ど", "こ", "で", "生", "れ", "た", "か", "「", "と", "ん", "と", "見",
      "当", "」", "が", "つ", "か", "ぬ", "。", "何", "で", "も", "薄", "暗"};
  std::string text = "第" + std::to_string(p) + "段";
  for (int i = 0; i < chars; ++i) {
    if (std::find(marks.begin(), marks.end(), i) != marks.end()) {
      text += "目印";
      ++i;
      continue;
    }
    text += kRun[static_cast<size_t>((i + p) % static_cast<int>(kRun.size()))];
  }
  return Utf8ToCp932(text) + "\r\n";
}

class ReadingPosition : public ::testing::Test {
 protected:
  void SetUp() override {
    home_.Write("info.ini", PlainPageStyle());
    std::string book;
    for (int p = 0; p < 12; ++p) book += Paragraph(p, 1500, p == 2 ? std::vector<int>{600, 700, 1300} : std::vector<int>{});
    home_.Write("book.txt", book);
  }

  std::unique_ptr<TfrmRPV> Start(std::vector<std::string> args = {}) {
    auto form = MakeWindow(std::move(args), log_);
    form->FormCreate();
    form->resize(420, 300);
    QCoreApplication::processEvents();
    return form;
  }

  // Where the page on show begins, and its first line as drawn.
  struct TView {
    int32_t Top;
    rpv::TReadingPosition Position;
    std::string FirstLine;
    bool operator==(const TView&) const = default;
    friend void PrintTo(const TView& v, std::ostream* os) {
      *os << "top " << v.Top << " at ";
      rpv::PrintTo(v.Position, os);
    }
  };
  static TView View(const TfrmRPV& form) {
    return {form.TopLine, form.Book->PositionAt(form.TopLine),
            U(form.Book->DisplayLines.Item(form.TopLine)->Text)};
  }
  // The visible text of the page on show.
  static std::string PageText(const TfrmRPV& form) {
    std::string text;
    for (int32_t d = form.TopLine; d < form.TopLine + form.Book->LinesPerPage(); ++d)
      if (const TLine* line = form.Book->DisplayLines.Item(d)) text += line->Text.str();
    return U(text);
  }

  TTempHome home_;
  std::shared_ptr<TScriptedDialogs::TLog> log_ = std::make_shared<TScriptedDialogs::TLog>();
};

TEST_F(ReadingPosition, EveryRelayoutAndRestartComesBackToTheSameCharacter) {
  auto form = Start({home_.Path("book.txt")});
  ASSERT_GT(form->Book->DisplayLines.Item(0)->Text.size(), 0u);
  ASSERT_TRUE(form->GoToPage(9));
  const TView start = View(*form);
  ASSERT_GT(start.Position.Offset, 0) << "the page must begin inside a paragraph";

  for (int i = 0; i < 10; ++i) {
    form->resize(420 + 137, 300 + 71);
    QCoreApplication::processEvents();
    ASSERT_NE(form->TopLine, start.Top) << "the other size lays the book out otherwise";
    form->resize(420, 300);
    QCoreApplication::processEvents();
    ASSERT_EQ(View(*form), start) << "resize round trip " << i;
  }
  for (int i = 0; i < 10; ++i) {
    form->ToggleFullScreen();
    QCoreApplication::processEvents();
    ASSERT_TRUE(form->isFullScreen());
    form->ToggleFullScreen();
    QCoreApplication::processEvents();
    ASSERT_FALSE(form->isFullScreen());
    ASSERT_EQ(View(*form), start) << "full-screen round trip " << i;
  }
  for (int i = 0; i < 10; ++i) {
    form->ReloadDocument();
    ASSERT_EQ(View(*form), start) << "reload " << i;
  }
  for (int i = 0; i < 10; ++i) {
    form.reset();
    {
      const TIniFile ini(home_.Path("rpv.ini"));
      ASSERT_EQ(ini.ReadInteger("FH0", "BookMark", -1), start.Position.Line);
      ASSERT_EQ(ini.ReadInteger("FH0", "BookMarkOffset", -1), start.Position.Offset);
    }
    form = Start();
    ASSERT_EQ(View(*form), start) << "restart " << i;
  }

  // An rpv.ini of an older version has no offset: the paragraph's start.
  form.reset();
  {
    TIniFile ini(home_.Path("rpv.ini"));
    ini.DeleteKey("FH0", "BookMarkOffset");
    ASSERT_TRUE(ini.UpdateFile());
  }
  form = Start();
  int32_t paragraphStart = 0;
  while (form->Book->DisplayLines.Item(paragraphStart)->SourceIndex != start.Position.Line)
    ++paragraphStart;
  EXPECT_EQ(form->TopLine, paragraphStart - paragraphStart % form->Book->LinesPerPage());
  EXPECT_EQ(form->ReadingPosition, rpv::TReadingPosition::OfLine(start.Position.Line));
  EXPECT_TRUE(log_->Messages.empty());
}

TEST_F(ReadingPosition, FindShowsAndMarksTheMatchAndGoesOnInTheSameParagraph) {
  auto form = Start({home_.Path("book.txt")});
  form->ShowFindDialog();
  ASSERT_TRUE(log_->Find);
  const std::string word = S("目印");

  ASSERT_TRUE(log_->Find(word, kFindOptionDown));
  const TView first = View(*form);
  EXPECT_EQ(first.Position.Line, 2);
  EXPECT_GT(first.Position.Offset, 0) << "the page holding the match, not the paragraph's first";
  EXPECT_NE(PageText(*form).find("目印"), std::string::npos);
  ASSERT_TRUE(form->Book->FindMark);
  EXPECT_EQ(*form->Book->FindMark, (TTextMatch{{2, 3 + 600}, 2}));  // after "第2段"

  // The mark is drawn: the page differs from the same page without it.
  form->Book->DrawPage(form->TopLine);
  const TBitmap24 marked = form->Book->PageBitmap;
  const auto mark = form->Book->FindMark;
  form->Book->FindMark.reset();
  form->Book->DrawPage(form->TopLine);
  bool differs = false;
  for (int y = 0; y < marked.Height() && !differs; ++y)
    for (int x = 0; x < marked.Width() && !differs; ++x)
      differs = marked.Pixel(x, y) != form->Book->PageBitmap.Pixel(x, y);
  EXPECT_TRUE(differs);
  form->Book->FindMark = mark;

  // Again: the next occurrence in the same paragraph, on a later page.
  ASSERT_TRUE(log_->Find(word, kFindOptionDown));
  EXPECT_EQ(form->Book->FindMark->Start, (rpv::TReadingPosition{2, 3 + 700}));
  ASSERT_TRUE(log_->Find(word, kFindOptionDown));
  EXPECT_EQ(form->Book->FindMark->Start, (rpv::TReadingPosition{2, 3 + 1300}));
  const TView last = View(*form);
  EXPECT_GT(last.Top, first.Top);
  EXPECT_NE(PageText(*form).find("目印"), std::string::npos);
  // Nothing further: the page stays and no message box appears.
  EXPECT_FALSE(log_->Find(word, kFindOptionDown));
  EXPECT_EQ(View(*form), last);
  EXPECT_TRUE(log_->Messages.empty());
  // Upward from the mark: the one before it.
  ASSERT_TRUE(log_->Find(word, 0));
  EXPECT_EQ(form->Book->FindMark->Start, (rpv::TReadingPosition{2, 3 + 700}));

  // The next command takes the mark away; a search then starts from the page.
  form->RunCommand(TCommand::GoHead);
  EXPECT_FALSE(form->Book->FindMark);
  ASSERT_TRUE(log_->Find(word, kFindOptionDown));
  EXPECT_EQ(form->Book->FindMark->Start, (rpv::TReadingPosition{2, 3 + 600}));
}

}  // namespace
}  // namespace rpv::test
