// The e-text annotations that become character markup: worked lines of each
// form, the block styles over whole lines, and the two real books laid out
// vertically and horizontally (no annotation of these kinds left as text,
// no character lost or doubled).
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "import/CharacterNotes.h"
#include "import/CustomBookClass.h"
#include "import/DisplayMarkup.h"
#include "import/MarkupWalker.h"
#include "import/MbScan.h"
#include "import/TextConvert.h"
#include "platform/Codepage.h"
#include "platform/FileIO.h"
#include "tests/import/MarkupTestUtil.h"

using namespace rpv;
using rpv::test::FillLines;
using rpv::test::S;
using rpv::test::Style96;
using rpv::test::Texts;
using rpv::test::U;

namespace {

std::vector<std::string> Annotated(std::initializer_list<std::string_view> utf8,
                                   std::string_view fileDir = {}) {
  TLines lines;
  FillLines(lines, utf8);
  ApplyAnnotations(lines, Style96(), fileDir);
  return Texts(lines);
}

}  // namespace

TEST(InlineAnnotations, EachFormBecomesItsMarkup) {
  const auto t = Annotated({
      // A heading found by its visible text, though a reading stands inside.
      "{H\\B}ひと{B_M}独{B\\E}独り［＃「独り」は大見出し］",
      // ママ over text read one group per character is kept, beside it.
      "{H\\B}ゆ{B_M}湯{B\\E}湯{H\\B}げ{B_M}気{B\\E}気［＃「湯気」はママ］",
      // Left ruby over text that has a reading on the usual side.
      "{H\\B}あお{B_M}青{B\\E}青［＃「青」の左に「ブルー」のルビ］",
      "［＃左に波線］青空［＃左に波線終わり］",
      // Two quoted annotations on one text: both apply.
      "本日［＃「本日」は１段階小さな文字］［＃「本日」は罫囲み］",
      "見［＃二］大人所［＃一レ］敬［＃（ス）］",
      // Warichu: small, in brackets unless the text has them; its line
      // break becomes a space.
      "説と［＃割り注］甲［＃改行］乙［＃割り注終わり］（［＃割り注］丙［＃割り注終わり］）",
      // Marks over a character with a reading go to the other side.
      "［＃白丸傍点］{H\\B}き{B_M}来{B\\E}来た［＃白丸傍点終わり］",
      "Ｂ29［＃「29」は縦中横］",
      // A range whose end does not come closes at the line end.
      "［＃太字］強い",
      "［＃注記付き］名々［＃「めいめい」の注記付き終わり］",
      // Ranges that overlap: the inner one ends with the outer.
      "［＃太字］強［＃傍線］い［＃太字終わり］の",
      "［＃「猫」のキャプション付きの図（cat.png、横320×縦２４０）入る］",
      // Not found before the annotation, or not one of these: shown.
      "他［＃「別」に傍点］だ",
      "紋［＃「紋」は底本では「絞」］",
  }, "/books/");
  ASSERT_EQ(t.size(), 15u);
  EXPECT_EQ(t[0], "{H\\L\\E}{H\\Z}3{Z\\E}{H\\B}ひと{B_M}独{B\\E}独り{H\\Z}0{Z\\E}{H\\D\\E}");
  EXPECT_EQ(t[1], "{H\\B}ゆ{B_M}湯{B\\E}{H\\O}ママ{O\\E}湯{H\\B}げ{B_M}気{B\\E}気");
  EXPECT_EQ(t[2], "{H\\BL}ブルー{B_M}青{B\\E}{H\\B}あお{B_M}青{B\\E}青");
  EXPECT_EQ(t[3], "{H\\N}LW{N\\E}青空{H\\NE\\E}");
  EXPECT_EQ(t[4], "{H\\Z}-1{Z\\E}{H\\X\\E}本日{H\\Z}0{Z\\E}{H\\XE\\E}");
  EXPECT_EQ(t[5], "見{H\\Q}二{Q\\E}大人所{H\\Q}一レ{Q\\E}敬{H\\U}ス{U\\E}");
  EXPECT_EQ(t[6], "説と（{H\\Z}-2{Z\\E}甲　乙{H\\Z}0{Z\\E}）（{H\\Z}-2{Z\\E}丙{H\\Z}0{Z\\E}）");
  EXPECT_EQ(t[7], "{H\\B}き{B_M}来{B\\E}{H\\O}○{O\\E}来{H\\B}○{B_M}た{B\\E}た");
  EXPECT_EQ(t[8], "Ｂ{H\\T\\E}29{H\\TE\\E}");
  EXPECT_EQ(t[9], "{H\\L\\E}強い{H\\D\\E}");
  EXPECT_EQ(t[10], "{H\\B}めいめい{B_M}名 々{B\\E}名{H\\W\\E}々");
  EXPECT_EQ(t[11], "{H\\L\\E}強{H\\N}RS{N\\E}い{H\\NE\\E}{H\\D\\E}の");
  EXPECT_EQ(t[12], "{H\\I}/books/cat.png{I\\E}{I_MH}240{I_MH}{I_MW}320{I_MW}");
  EXPECT_EQ(t[13], "{H\\O}「別」に傍点{O\\E}他だ");
  EXPECT_EQ(t[14], "{H\\O}「紋」は底本では「絞」{O\\E}紋");
}

TEST(InlineAnnotations, BlockStylesDressEveryLineBetween) {
  const auto t = Annotated({"［＃ここから中見出し］", "一行目", "［＃ここから太字］", "二行目",
                            "［＃ここで中見出し終わり］", "三行目", "［＃ここで太字終わり］", "本文",
                            "［＃ここで横組み終わり］"});
  ASSERT_EQ(t.size(), 5u);
  EXPECT_EQ(t[0], "{H\\L\\E}{H\\Z}2{Z\\E}一行目{H\\Z}0{Z\\E}{H\\D\\E}");
  EXPECT_EQ(t[1], "{H\\L\\E}{H\\Z}2{Z\\E}{H\\L\\E}二行目{H\\D\\E}{H\\Z}0{Z\\E}{H\\D\\E}");
  EXPECT_EQ(t[2], "{H\\L\\E}三行目{H\\D\\E}");
  EXPECT_EQ(t[3], "本文");
  // A block nobody supports stays as it is.
  EXPECT_EQ(t[4], "［＃ここで横組み終わり］");
}

namespace {

// The characters of a text and how often each occurs.
std::vector<std::string> Characters(std::string_view cp932) {
  std::vector<std::string> out;
  for (size_t i = 0; i < cp932.size(); i += mb::Len(cp932, i))
    out.emplace_back(cp932.substr(i, mb::Len(cp932, i)));
  return out;
}

std::map<std::string, int> Census(std::string_view cp932, std::string_view skip) {
  const std::vector<std::string> skipped = Characters(skip);
  const std::set<std::string> ignore(skipped.begin(), skipped.end());
  std::map<std::string, int> n;
  for (const std::string& c : Characters(cp932)) {
    if (ignore.count(c) == 0) ++n[c];
  }
  return n;
}

// The characters whose counts differ, as "c in/out" (UTF-8); empty when none.
std::string Differences(const std::map<std::string, int>& in, const std::map<std::string, int>& out) {
  std::map<std::string, std::pair<int, int>> both;
  for (const auto& [c, n] : in) both[c].first = n;
  for (const auto& [c, n] : out) both[c].second = n;
  std::string d;
  for (const auto& [c, n] : both) {
    if (n.first != n.second)
      d += Cp932ToUtf8(c) + " " + std::to_string(n.first) + "/" + std::to_string(n.second) + "  ";
  }
  return d;
}

std::string Without(const std::string& utf8, const char* pattern) {
  return std::regex_replace(utf8, std::regex(pattern), "");
}

// An annotation body the conversions should have taken: character and layout
// annotations.
bool IsOneOfOurs(const std::string& body) {
  for (const char* word : {"見出し", "太字", "斜体", "傍点", "傍線", "鎖線", "破線", "波線", "縦中横",
                           "罫囲み", "割り注", "キャプション", "大きな文字", "小さな文字", "の注記",
                           "のルビ", "入る", "小書き", "付き小文字", "字下げ", "字上げ", "地付き",
                           "字詰め", "中央揃え", "改ページ", "改丁", "改段", "改見開き",
                           "ページの左右中央"}) {
    if (body.find(word) != std::string::npos) return true;
  }
  // A bare kanbun mark or okurigana.
  return std::regex_match(body, std::regex("^([一二三四上中下甲乙丙丁天地人]レ?|レ|（.+）)$"));
}

}  // namespace

TEST(InlineAnnotations, RealBooksKeepEveryCharacterAndLeaveNoAnnotationOfTheirKinds) {
  const std::string corpus = RPV_SOURCE_DIR "/../shared/corpus/";
  if (!ReadWholeFile(corpus + "bocchan.sjis.txt"))
    GTEST_SKIP() << "../shared/corpus is absent: no real book to lay out";
  for (const char* name : {"aozora_annotations.sjis.txt", "bocchan.sjis.txt"}) {
    for (const bool vertical : {true, false}) {
      SCOPED_TRACE(std::string(name) + (vertical ? " vertical" : " horizontal"));
      TCustomBook book;
      book.Style.ScreenDpi = 96;
      book.Style.Direction = vertical ? kDirectionVertical : kDirectionHorizontal;
      book.SetPageWidth(800);
      book.SetPageHeight(600);
      book.LoadFromFile(corpus + name);
      book.BuildLines(0);
      std::string shown;    // the visible text of every display line
      std::string printed;  // the lines as rpv --text prints them
      int heads = 0;        // bold and larger
      int indentedHeads = 0;
      for (int i = 0; i < book.DisplayLines.Count(); ++i) {
        const TLine& display = *book.DisplayLines.Item(i);
        const std::string_view line = display.Text;
        // Layout annotations act on the line's fields: a chapter head of
        // bocchan five cells down, its closing date one cell short of the end.
        const std::string source = U(book.SourceText[static_cast<size_t>(display.SourceIndex)]);
        if (source.starts_with("［＃５字下げ］")) {
          EXPECT_EQ(display.Indent, 5u) << source;
          ++indentedHeads;
        }
        if (source.starts_with("［＃地から１字上げ］")) {
          EXPECT_EQ(display.Align, 1u) << source;
          EXPECT_EQ(display.EndGap, 1u) << source;
        }
        std::string visible = VisibleText(line);
        // A picture that is not there shows its bracketed name.
        if (visible.size() > 2 && visible.front() == '[' && visible.back() == ']') continue;
        shown += visible;
        printed += Cp932ToUtf8(LineAsText(line)) + "\n";
        if (line.find(std::string(tag::kBoldOn) + SizeTag(2)) != std::string_view::npos) ++heads;
      }
      // No annotation of these kinds is left as text or as a note.
      const std::regex annotation("［＃(.*?)］");
      for (auto it = std::sregex_iterator(printed.begin(), printed.end(), annotation);
           it != std::sregex_iterator(); ++it) {
        EXPECT_FALSE(IsOneOfOurs((*it)[1].str())) << (*it)[0].str();
      }
      // Every character of the text is shown once: the source without its
      // marks and annotations against the visible text without the notes
      // they became. Blanks, hyphens (rules), brackets and the space of a
      // warichu line break may come and go.
      // Annotations of other kinds and marks that stayed text are taken out
      // of both.
      auto plain = [](const std::string& utf8) {
        return S(Without(Without(Without(utf8, "［＃.*?］"), "《.*?》"), "｜"));
      };
      // A character note that names its character is that character.
      std::string noted = *ReadWholeFile(corpus + name);
      if (auto replaced = ReplaceCharacterNotes(noted)) noted = *replaced;
      const std::string source = plain(Cp932ToUtf8(noted));
      const std::string visible = plain(Cp932ToUtf8(shown));
      const std::string skip = S(" \r\n\t-（）　");
      EXPECT_EQ(Differences(Census(source, skip), Census(visible, skip)), "");
      if (std::string(name) == "bocchan.sjis.txt") {
        EXPECT_EQ(heads, 10);
        EXPECT_EQ(indentedHeads, 10);
      }
    }
  }
}
