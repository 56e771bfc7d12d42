// Layout in batches and on several threads gives exactly the lines of one
// batch on one thread: real books (the corpus, when present), a book with
// every page-break kind, blank-line removal, two columns, and HTML with
// pictures and style spans that cross lines.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "import/CustomBookClass.h"
#include "import/LayoutJob.h"
#include "platform/FileIO.h"
#include "tests/support/TestSupport.h"

using namespace rpv;
using rpv::test::S;
using rpv::test::TTempFolder;

namespace {

// Every field of every line, one string a line.
std::vector<std::string> Dump(const TLines& lines) {
  std::vector<std::string> out;
  for (int i = 0; i < lines.Count(); ++i) {
    const TLine& l = *lines.Item(i);
    out.push_back(std::to_string(l.SourceIndex) + "|" + std::to_string(l.Indent) + "|" +
                  std::to_string(l.Align) + "|" + std::to_string(l.EndGap) + "|" +
                  std::to_string(l.HasWrapIndent) + std::to_string(l.WrapIndent) + "|" +
                  l.Text.str());
  }
  return out;
}

struct TResult {
  std::vector<std::string> Display;
  int32_t Pages = 0;
};

// Lays the book out as the window does: batches handed over in turn.
TResult Layout(TCustomBook& book, int threads, int32_t batch) {
  const auto job = book.StartLayout(threads);
  TLines display;
  bool more = true;
  while (more) {
    more = job->Step(batch, display);
    book.AddLayout(display, !more);
    EXPECT_EQ(book.LayoutComplete, !more);
  }
  return {Dump(book.DisplayLines), book.PageCount};
}

void ExpectSameLayouts(TCustomBook& book, const std::string& what) {
  const TResult plain = Layout(book, 1, INT_MAX);
  ASSERT_GT(plain.Display.size(), 0u) << what;
  // BuildLines is the same job: same lines.
  book.LayoutThreads = 4;
  book.BuildLines(0);
  EXPECT_EQ(Dump(book.DisplayLines), plain.Display) << what;
  for (const auto& [threads, batch] : {std::pair{4, 1}, {3, 37}, {2, 5000}}) {
    const TResult r = Layout(book, threads, batch);
    EXPECT_EQ(r.Display, plain.Display) << what << " threads " << threads << " batch " << batch;
    EXPECT_EQ(r.Pages, plain.Pages) << what;
  }
}

void Styles(TCustomBook& book, const std::string& name) {
  for (const bool vertical : {true, false}) {
    book.Style = TInfo();
    book.Style.Direction = vertical ? kDirectionVertical : kDirectionHorizontal;
    book.SetPageWidth(900);
    book.SetPageHeight(700);
    book.DeleteBlankLines = false;
    ExpectSameLayouts(book, name + (vertical ? " vertical" : " horizontal"));
  }
  // Two columns and blank-line removal change the page arithmetic.
  book.Style.ColumnCount = 2;
  book.DeleteBlankLines = true;
  ExpectSameLayouts(book, name + " two columns, blank lines removed");
  book.DeleteBlankLines = false;
}

}  // namespace

TEST(LayoutJob, BatchesAndThreadsGiveTheLinesOfOnePass) {
  TCustomBook book;
  std::string text;
  // Page breaks of every kind, centred pages, layout blocks of every kind,
  // a mid-line 地付き and 字上げ, ruby, runs of empty lines (which get no
  // source line) and long paragraphs.
  const std::string para = S("吾輩《わがはい》は猫である。｜名前《なまえ》はまだ無い。どこで生れたかとんと見当がつかぬ。");
  for (int i = 0; i < 300; ++i) {
    text += para + para + para + "\r\n";
    if (i % 7 == 0) text += "\r\n\r\n\r\n";
    if (i % 50 == 10) text += S("［＃改ページ］") + "\r\n";
    if (i % 50 == 20) text += S("［＃改丁］") + S("次の章") + "\r\n";
    if (i % 50 == 30) text += S("［＃改段］") + "\r\n";
    if (i % 40 == 5) text += S("［＃ここから２字下げ］") + "\r\n";
    if (i % 40 == 15) text += S("［＃ここで字下げ終わり］") + "\r\n";
    if (i % 30 == 3) text += S("本文［＃地付き］署名") + "\r\n";
    if (i % 40 == 25) text += S("［＃ここから２字下げ、折り返して３字下げ］") + "\r\n";
    if (i % 40 == 35) text += S("［＃ここで字下げ終わり］") + "\r\n";
    if (i % 60 == 40) text += S("［＃ここから地から１字上げ］") + "\r\n";
    if (i % 60 == 45) text += S("［＃ここで字上げ終わり］［＃ここから１０字詰め］") + "\r\n";
    if (i % 60 == 50) text += S("［＃ここで字詰め終わり］本文［＃地から２字上げ］署名") + "\r\n";
    if (i % 50 == 12) text += S("［＃ページの左右中央］\r\n\r\n［＃５字下げ］題\r\n\r\n");
    if (i % 50 == 40) text += S("［＃ページの左右中央］") + "\r\n";
  }
  // A centred page that the book ends on.
  text += S("［＃改見開き］\r\n［＃ページの左右中央］\r\n終") + "\r\n";
  book.SourceText.SetText(text);
  Styles(book, "generated");

  for (const char* name : {"bocchan.sjis.txt", "aozora_annotations.sjis.txt"}) {
    const auto path = std::filesystem::path(RPV_SOURCE_DIR) / "../shared/corpus" / name;
    if (!std::filesystem::exists(path)) {
      GTEST_LOG_(INFO) << "corpus book " << path << " absent: skipped";
      continue;
    }
    book.LoadFromFile(path.string());
    Styles(book, name);
  }
}

TEST(LayoutJob, HtmlPicturesAndStyleSpansAcrossBatches) {
  TTempFolder tmp("rpv_layout_");
  // A picture taller than the rest of a column moves to the next one.
  std::string bmp(54 + 4 * 300, '\0');
  const auto put = [&bmp](size_t at, uint32_t v, int n) {
    for (int k = 0; k < n; ++k) bmp[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
  };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put(2, static_cast<uint32_t>(bmp.size()), 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, 1, 4);
  put(22, 300, 4);
  put(26, 1, 2);
  put(28, 24, 2);
  tmp.Write("pic.bmp", bmp);
  std::string html = "<html><title>t</title><body>";
  for (int i = 0; i < 60; ++i) {
    html += S("<p><b>太字が行をまたいで続く長い段落です。<i>斜体もまた続きます。</i>まだ太字。</b>普通の文。</p>");
    if (i % 9 == 4) html += "<img src=\"pic.bmp\"><a name=\"n" + std::to_string(i) + "\"></a>";
  }
  html += "</body></html>";
  TCustomBook book;
  book.LoadFromFile(tmp.Write("b.html", html));
  ASSERT_TRUE(book.IsHtml);
  Styles(book, "html");
}
