// Characters beyond Shift_JIS on the page: a UTF-8 book's é « » 𠮷 and
// emoji are drawn as themselves and found by search; e-text character
// notes become their characters and join a ruby base.
#include "tests/render/PageTestUtil.h"

#include "import/DisplayMarkup.h"

namespace rpv::testing {
namespace {

using CharactersPage = PageTest;

std::u32string DrawnText(const TPageRecorder& page) {
  std::u32string out;
  for (const TDrawRecord& r : page.Of(TDrawKind::Text))
    if (r.Line >= 0) out += Cp932ToUtf32(r.Text);
  return out;
}

TEST_F(CharactersPage, AUtf8BookShowsAndFindsWhatShiftJisLacks) {
  WriteStyle("H", [](TInfo& s) { s.Direction = 0; });
  WriteStyle("V", [](TInfo& s) { s.Direction = 27; });
  const std::string body = "Café «déjà» 𠮷野家で😀を食べた。\u00A0—〜";
  WriteBytes("book.txt", "\xEF\xBB\xBF" + body + "\r\n二行目\r\n");
  for (const char* style : {"H", "V"}) {
    auto book = Open(style, 400, 300, "book.txt");
    const std::u32string drawn = DrawnText(Record(*book, 0));
    // Every character, once, in order; the no-break space as a space and
    // the dashes in their Japanese forms.
    EXPECT_EQ(drawn, U"Café «déjà» 𠮷野家で😀を食べた。 ―～二行目") << style;
    for (const char* needle : {"é", "«déjà»", "𠮷", "😀"}) {
      const auto match = book->FindMatch(Utf8ToCp932(needle), TReadingPosition{0, 0}, kFindDown);
      ASSERT_TRUE(match) << needle;
      EXPECT_EQ(match->Start.Line, 0);
    }
    EXPECT_EQ(book->FindMatch(Utf8ToCp932("è"), TReadingPosition{0, 0}, kFindDown), std::nullopt);
  }
}

TEST_F(CharactersPage, CharacterNotesBecomeTheirCharactersAndJoinTheRubyBase) {
  WriteStyle("H", [](TInfo& s) { s.Direction = 0; });
  WriteText("notes.txt",
            "水鉢を置いた※［＃「木＋靈」、第3水準1-86-29］子窓《れんじまど》の下\n"
            "※［＃「木＋内」、第3水準1-85-54］と※［＃「口＋世」、U+546D、ページ数-行数］と※［＃「土へん＋竒」、ページ数-行数］\n");
  auto book = Open("H", 600, 300, "notes.txt");
  ASSERT_GE(book->LineCount(), 2);
  EXPECT_EQ(Cp932ToUtf8(LineAsText(book->DisplayLines.Item(0)->Text)), "水鉢を置いた欞子窓《れんじまど》の下");
  // The note without a code is still there, as any other annotation.
  const std::string second = Cp932ToUtf8(LineAsText(book->DisplayLines.Item(1)->Text));
  EXPECT_TRUE(second.starts_with("枘と呭と")) << second;
  EXPECT_NE(second.find("「土へん＋竒」、ページ数-行数"), std::string::npos) << second;
}

}  // namespace
}  // namespace rpv::testing
