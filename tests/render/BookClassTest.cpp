// The page class as a document: BODY colours, page-aligned layout, header
// and footer templates, search, anchors, filters and font smoothing.
#include "tests/render/PageTestUtil.h"

#include <chrono>

#include "render/TextSearch.h"

namespace rpv::testing {
namespace {

using BookClassTest = PageTest;

TEST_F(BookClassTest, BodyColoursApplyAndPlainTextGetsTheStyleColoursBack) {
  WriteStyle("S", [](TInfo& s) {
    s.SetHtmlTag(kHtmlTagBody, true);
    s.FontColor = 0x111111;
    s.BackColor = 0x222222;
  });
  WriteText("colours.html", "<html><body bgcolor=\"#102030\" text=\"#405060\">色</body></html>\n");
  WriteText("bgonly.html", "<html><body bgcolor=\"#a0b0c0\">背景</body></html>\n");
  WriteText("plain.txt", "ただの文\n");
  auto book = Open("S", 300, 200, "colours.html");
  EXPECT_EQ(book->CurrentBackColor(), 0x302010);  // Windows colours: red low
  EXPECT_EQ(book->CurrentFontColor(), 0x605040);
  book->DrawPage(0);
  EXPECT_EQ(book->PageBitmap.Pixel(0, 0), 0x302010u);
  EXPECT_EQ(book->StyleBackColor, 0x222222);

  book->LoadFromFile(Path("bgonly.html"));
  book->BuildLines(0);
  EXPECT_EQ(book->CurrentBackColor(), 0xC0B0A0);
  EXPECT_EQ(book->CurrentFontColor(), 0x111111);

  book->LoadFromFile(Path("plain.txt"));
  book->BuildLines(0);
  EXPECT_EQ(book->CurrentBackColor(), 0x222222);
  EXPECT_EQ(book->CurrentFontColor(), 0x111111);
  book->DrawPage(0);
  EXPECT_EQ(book->PageBitmap.Pixel(0, 0), 0x222222u);

  // Without the BODY option the tag is not read.
  WriteStyle("NoBody", [](TInfo& s) { s.SetHtmlTag(kHtmlTagBody, false); });
  auto plain = Open("NoBody", 300, 200, "colours.html");
  EXPECT_EQ(plain->CurrentBackColor(), 0);
}

TEST_F(BookClassTest, ABodyBackgroundIsTiledOnlyForItsDocument) {
  // A 1 x 1 white BMP.
  std::string bmp = "BM";
  for (uint32_t v : {58u, 0u, 54u, 40u, 1u, 1u}) for (int k = 0; k < 4; ++k) bmp += static_cast<char>(v >> (8 * k));
  bmp += std::string("\x01\x00\x18\x00", 4);
  for (uint32_t v : {0u, 4u, 2835u, 2835u, 0u, 0u}) for (int k = 0; k < 4; ++k) bmp += static_cast<char>(v >> (8 * k));
  bmp += std::string("\xFF\xFF\xFF\x00", 4);
  WriteBytes("white.bmp", bmp);
  WriteStyle("S", [](TInfo& s) { s.SetHtmlTag(kHtmlTagBody, true); s.BackColor = 0; });
  WriteText("bg.html", "<html><body background=\"white.bmp\">x</body></html>\n");
  WriteText("plain.txt", "x\n");
  auto book = Open("S", 50, 40, "bg.html");
  book->DrawPage(0);
  EXPECT_EQ(book->PageBitmap.Pixel(49, 39), 0xFFFFFFu);
  book->LoadFromFile(Path("plain.txt"));
  book->BuildLines(0);
  book->DrawPage(0);
  EXPECT_EQ(book->PageBitmap.Pixel(49, 39), 0u);
}

TEST_F(BookClassTest, LayoutStartsAtThePageAndTemplatesFillIn) {
  WriteStyle("S", [](TInfo& s) { s.Direction = 0; s.FontName = "MS"; });
  std::string text;
  for (int i = 0; i < 60; ++i) text += "第" + std::to_string(i) + "行\n";
  WriteText("lines.txt", text);
  auto book = Open("S", 400, 300, "lines.txt");
  const int perPage = book->LinesPerPage();
  ASSERT_GT(perPage, 2);
  ASSERT_GT(book->PageCount, 3);
  // A source line in the middle of page 3 gives the first line of page 3.
  EXPECT_EQ(book->BuildLines(2 * perPage + perPage / 2), 2 * perPage);
  EXPECT_EQ(book->BuildLines(0), 0);

  const std::string first = Cp932ToUtf8(book->FormatHeaderFooter("%p/%P %l %L %g", 2 * perPage));
  EXPECT_EQ(first, "3/" + std::to_string(book->PageCount) + " " + std::to_string(2 * perPage + 1) +
                       " 60 " + std::to_string(2 * perPage + 1));
  EXPECT_EQ(book->FormatHeaderFooter("%f|%t|%a|%%|%x|50%", 0), "lines.txt|lines.txt|" + Utf8ToCp932("第0行") + "|%|%x|50%");
  EXPECT_EQ(book->FormatHeaderFooter("%F", 0), Path("lines.txt"));
  // A "%" before a double-byte character keeps the character whole.
  EXPECT_EQ(book->FormatHeaderFooter(Utf8ToCp932("%表"), 0), Utf8ToCp932("%表"));

  WriteText("titled.html", "<html><head><title>題名</title></head><body>本文</body></html>\n");
  book->LoadFromFile(Path("titled.html"));
  book->BuildLines(0);
  EXPECT_EQ(Cp932ToUtf8(book->FormatHeaderFooter("%t %a %f", 0)), "題名 題名 titled.html");
}

TEST_F(BookClassTest, SearchFindsTheNextMatchAndNothingFromTheLastPage) {
  WriteStyle("S", [](TInfo& s) { s.Direction = 0; s.FontName = "MS"; });
  std::string text;
  for (int i = 0; i < 80; ++i) {
    if (i == 3) text += "Greek ΑΒΓ and Ｆｕｌｌ and Кот\n";
    else if (i == 50) text += "the needle、here\n";
    else if (i == 70) text += "{H\\B}よみ{B_M}基{B\\E}基 the NEEDLE again\n";
    else text += "行" + std::to_string(i) + "\n";
  }
  WriteText("find.txt", text);
  auto book = Open("S", 400, 300, "find.txt");
  const int perPage = book->LinesPerPage();
  const int last = (book->PageCount - 1) * perPage;
  auto lineOf = [&](int source) {
    for (int d = 0; d < book->LineCount(); ++d)
      if (book->DisplayLines.Item(d)->SourceIndex >= source) return d;
    return -1;
  };
  const std::string needle = "needle";
  EXPECT_EQ(book->FindText(needle, 0, kFindDown), lineOf(50));
  EXPECT_EQ(book->FindText(needle, lineOf(50), kFindDown), lineOf(70));  // case ignored
  EXPECT_EQ(book->FindText(needle, lineOf(50), kFindDown | kFindMatchCase), -1);
  EXPECT_EQ(book->FindText(needle, last, kFindDown), -1);
  EXPECT_EQ(book->FindText(needle, -1, kFindDown), -1);
  // Upward from the page after the match; from the first page only line 0.
  EXPECT_EQ(book->FindText(needle, lineOf(70), 0), lineOf(50));
  EXPECT_EQ(book->FindText(Utf8ToCp932("行0"), 0, 0), 0);
  EXPECT_EQ(book->FindText(needle, 0, 0), -1);
  // Tags are not text: the ruby reading is not found, the base is.
  EXPECT_EQ(book->FindText(Utf8ToCp932("よみ"), lineOf(50), kFindDown), -1);
  EXPECT_EQ(book->FindText(Utf8ToCp932("基"), lineOf(50), kFindDown), lineOf(70));
  // Greek, full-width and Cyrillic letters fold case; widths stay apart.
  const int back = lineOf(50);
  EXPECT_EQ(book->FindText(Utf8ToCp932("αβγ"), back, 0), lineOf(3));
  EXPECT_EQ(book->FindText(Utf8ToCp932("ＦＵＬＬ"), back, 0), lineOf(3));
  EXPECT_EQ(book->FindText(Utf8ToCp932("кОТ"), back, 0), lineOf(3));
  EXPECT_EQ(book->FindText("full", back, 0), -1);
  EXPECT_EQ(book->FindText(Utf8ToCp932("αβγ"), back, kFindMatchCase), -1);
}

TEST(TextSearchTest, FoldingKeepsDoubleByteCharactersWhole) {
  // "、" is 81 41 and "ア" 83 41: their trail byte is "A", which must not match.
  EXPECT_FALSE(ContainsOnBoundary(FoldCaseCp932(Utf8ToCp932("、ア")), "A"));
  EXPECT_TRUE(ContainsOnBoundary(FoldCaseCp932(Utf8ToCp932("、a")), "A"));
  // "ゃ" is 82 E1 and "チ" 83 60: trail bytes in the lower-case range stay.
  EXPECT_EQ(FoldCaseCp932(Utf8ToCp932("ゃチ")), Utf8ToCp932("ゃチ"));
  EXPECT_EQ(FoldCaseCp932(Utf8ToCp932("аёяｚω")), Utf8ToCp932("АЁЯＺΩ"));
  // A trail byte 0x5C ("\") of "ソ" is not a tag character either.
  EXPECT_TRUE(ContainsOnBoundary(Utf8ToCp932("xソ"), Utf8ToCp932("ソ")));
}

TEST_F(BookClassTest, AnchorsGiveTheirSourceLine) {
  WriteStyle("S");
  WriteText("a.html", "<html><body><p>一</p><p>二</p><p><a name=\"mark\">三</a></p></body></html>\n");
  auto book = Open("S", 400, 300, "a.html");
  const int line = book->AnchorLine("mark");
  ASSERT_GE(line, 0);
  const int32_t shown = book->DisplayLineAt({line, 0});
  ASSERT_GE(shown, 0);
  EXPECT_NE(book->DisplayLines.Item(shown)->Text.find(Utf8ToCp932("三")), std::string::npos);
  EXPECT_EQ(book->AnchorLine("Mark"), -1);
  EXPECT_EQ(book->AnchorLine(""), -1);
}

TEST_F(BookClassTest, FiltersRunInOrderAndOneThatCannotStartIsSkipped) {
  WriteStyle("S");
  WriteText("t.txt", "abc\nxyz\n");
  WriteBytes("tool.ini",
             "[Cat]\r\nCommand=cat\r\nBoolean=1\r\n"
             "[Missing]\r\nCommand=/nonexistent/filter -x\r\nBoolean=1\r\n"
             "[Upper]\r\nCommand=tr a-z A-Z\r\nBoolean=1\r\n"
             "[Off]\r\nCommand=sed s/A/Q/\r\nBoolean=0\r\n"
             "[Empty]\r\nCommand=\r\nBoolean=1\r\n");
  const std::vector<TTool> tools = LoadTools(Path("tool.ini"));
  ASSERT_EQ(tools.size(), 5u);
  EXPECT_EQ(tools[1].Name, "Missing");
  EXPECT_TRUE(tools[2].Enabled);
  EXPECT_FALSE(tools[3].Enabled);
  EXPECT_TRUE(LoadTools(Path("none.ini")).empty());

  auto book = Open("S", 400, 300);
  book->Tools = tools;
  book->LoadFromFile(Path("t.txt"));
  EXPECT_EQ(book->SourceText.Text(), "ABC\r\nXYZ\r\n");
  // A filter that writes nothing leaves an empty text, which lays out as
  // no document.
  book->Tools = {{"Nothing", "true", true}};
  book->LoadFromFile(Path("t.txt"));
  EXPECT_TRUE(book->SourceText.Empty());
  EXPECT_EQ(book->BuildLines(0), -1);
}

TEST_F(BookClassTest, AFilterStoppedAtItsLimitsLeavesTheBookUnfilteredWithAMessage) {
  WriteStyle("S");
  WriteText("t.txt", "abc\nxyz\n");
  auto book = Open("S", 400, 300);
  book->FilterLimits = {std::chrono::milliseconds(300), 1 << 20};
  struct Case {
    std::string command;
    std::string says;
  };
  // A filter that never ends (also inside a pipeline), one that writes
  // without end; each after a filter that did its work.
  for (const Case& c : {Case{"sleep 1000", "秒以内に終わらない"},
                        Case{"sh -c 'sleep 1000 | cat'", "秒以内に終わらない"},
                        Case{"yes", "出力が大きすぎる"}}) {
    SCOPED_TRACE(c.command);
    book->Tools = {{"Upper", "tr a-z A-Z", true}, {"Bad", Utf8ToCp932(c.command), true}};
    const auto start = std::chrono::steady_clock::now();
    book->LoadFromFile(Path("t.txt"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(book->SourceText.Text(), "abc\r\nxyz\r\n");
    EXPECT_NE(Cp932ToUtf8(book->FilterMessage).find(c.says), std::string::npos)
        << Cp932ToUtf8(book->FilterMessage);
  }
  book->Tools = {{"Upper", "tr a-z A-Z", true}};
  book->LoadFromFile(Path("t.txt"));
  EXPECT_EQ(book->FilterMessage, "");
  EXPECT_EQ(book->SourceText.Text(), "ABC\r\nXYZ\r\n");
}

TEST_F(BookClassTest, SmoothingFollowsEachDocumentsOwnStyle) {
  WriteStyle("AA", [](TInfo& s) { s.AntiAliasing = 2; });
  // Supersampled ruby would make grey pixels of its own.
  WriteStyle("Plain", [](TInfo& s) { s.AntiAliasing = 1; s.RAntiAliasing = 1; });
  WriteText("t.txt", "{H\\B}かんじ{B_M}漢字{B\\E}漢字\n");
  // Every text of the page (characters, ruby, header, footer) says whether
  // it is smoothed; all say the same.
  auto smoothing = [](TBookClass& book) {
    int on = 0, off = 0;
    for (const TDrawRecord& r : Record(book, 0).Records) {
      if (r.Kind == TDrawKind::Text || r.Kind == TDrawKind::Ruby || r.Kind == TDrawKind::Header ||
          r.Kind == TDrawKind::Footer)
        (r.Smooth ? on : off)++;
    }
    EXPECT_GT(on + off, 4);
    EXPECT_TRUE(on == 0 || off == 0);
    return on > 0;
  };
  // Grey pixels on the drawn page: neither the page colour nor the text's.
  auto greys = [](TBookClass& book) {
    book.DrawPage(0);
    int n = 0;
    for (int y = 0; y < book.PageBitmap.Height(); ++y)
      for (int x = 0; x < book.PageBitmap.Width(); ++x) {
        const uint32_t p = book.PageBitmap.Pixel(x, y);
        n += p != 0 && p != 0xFFFFFF;
      }
    return n;
  };
  for (const bool user : {true, false}) {
    SCOPED_TRACE(user ? "user smooths" : "user does not smooth");
    auto window = Open("Plain", 200, 200, "t.txt");
    window->SavedSmoothing = user;
    {
      // A second document beside it with a supersampling style, as the
      // style editor's preview is, changes nothing for the first.
      auto preview = Open("AA", 200, 200, "t.txt");
      preview->SavedSmoothing = user;
      EXPECT_FALSE(smoothing(*preview));
      EXPECT_EQ(smoothing(*window), user);
      EXPECT_EQ(greys(*window) > 0, user);
    }
    EXPECT_EQ(smoothing(*window), user);
    window->LoadStyle(Path("info.ini"), "AA", 96);
    EXPECT_FALSE(smoothing(*window));
  }
}

}  // namespace
}  // namespace rpv::testing
