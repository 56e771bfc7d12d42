// Cutting one line: widths, kinsoku, hanging, word wrap, ruby groups, tags,
// progress on impossible measures, and the hanging indent.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "import/ByteSearch.h"
#include "import/CustomBookClass.h"
#include "import/LineBreaker.h"
#include "import/MarkupWalker.h"
#include "import/MbScan.h"
#include "platform/Codepage.h"
#include "tests/support/TestSupport.h"

using namespace rpv;
using rpv::test::S;

namespace {


const std::string kHead = S("、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}」、･ｰﾞﾟ");
const std::string kEnd = S("（［｛「『([{「");

TBreakRules Rules(int w, bool hang = true, bool head = true, bool end = true,
                  bool wordWrap = true) {
  TBreakRules r;
  r.FontPixels = 22;
  r.BetweenChar = 0;
  r.LineLength = w;
  r.Hang = hang;
  r.HeadRule = head;
  r.EndRule = end;
  r.WordWrap = wordWrap;
  r.RuleCharHead = kHead;
  r.RuleCharEnd = kEnd;
  return r;
}

// The display lines of text (CP932), cut the way the line builder cuts.
std::vector<std::string> Cut(const TBreakRules& rules, const std::string& text, int indent = 0) {
  TLineBreaker b(rules);
  std::vector<std::string> out;
  size_t pos = 0;
  do {
    const size_t end = b.NextBreak(text, pos, indent);
    EXPECT_GT(end, pos) << "no progress";
    if (end <= pos) break;
    out.push_back(text.substr(pos, end - pos));
    pos = end;
  } while (pos < text.size());
  return out;
}

std::vector<std::string> SjAll(std::initializer_list<const char*> utf8) {
  std::vector<std::string> v;
  for (const char* s : utf8) v.push_back(S(s));
  return v;
}

}  // namespace

TEST(LineBreaker, MeasuresFullAndHalfWidthCharacters) {
  const TBreakRules r = Rules(220);
  EXPECT_EQ(Cut(r, S("あいうえおかきくけこ")), SjAll({"あいうえおかきくけこ"}));
  EXPECT_EQ(Cut(r, S("あいうえおかきくけこさ")), SjAll({"あいうえおかきくけこ", "さ"}));
  // 11 px a letter: 20 fit, the 21st does not; one word longer than the
  // line is cut where it overflows.
  EXPECT_EQ(Cut(r, std::string(20, 'a')).size(), 1u);
  EXPECT_EQ(Cut(r, std::string(21, 'a')),
            (std::vector<std::string>{std::string(20, 'a'), "a"}));
  // BetweenChar follows every character, also the last that fits.
  TBreakRules spaced = r;
  spaced.BetweenChar = 2;
  EXPECT_EQ(Cut(spaced, S("あいうえおかきくけこ")), SjAll({"あいうえおかきくけ", "こ"}));
  // The indent is taken from the line's room.
  EXPECT_EQ(Cut(r, S("あいうえおかきくけこ"), 2), SjAll({"あいうえおかきく", "けこ"}));
}

TEST(LineBreaker, UnmeasuredFitCountsEveryByteAsACellAndTheIndent) {
  const TLineBreaker b(Rules(220));
  EXPECT_TRUE(b.FitsUnmeasured(10, 0));
  EXPECT_FALSE(b.FitsUnmeasured(11, 0));
  EXPECT_TRUE(b.FitsUnmeasured(8, 2));
  EXPECT_FALSE(b.FitsUnmeasured(9, 2));
  EXPECT_TRUE(b.FitsUnmeasured(0, 0));
}

TEST(LineBreaker, KinsokuAndHanging) {
  const std::string ten = "あいうえおかきくけこ";
  // Hanging: the full stop stays on the line, in the reserved cell.
  EXPECT_EQ(Cut(Rules(220), S(ten + "。さ")), SjAll({"あいうえおかきくけこ。", "さ"}));
  // Only one character hangs; a second forbidden one pulls the last
  // ordinary character along.
  EXPECT_EQ(Cut(Rules(220), S(ten + "。」さ")), SjAll({"あいうえおかきくけ", "こ。」さ"}));
  // Without hanging the head rule moves the 10th character with the stop.
  EXPECT_EQ(Cut(Rules(220, false), S(ten + "。さ")), SjAll({"あいうえおかきくけ", "こ。さ"}));
  // With neither rule the stop begins the next line.
  EXPECT_EQ(Cut(Rules(220, false, false), S(ten + "。")), SjAll({ten.c_str(), "。"}));
  // An opening bracket never ends a line.
  EXPECT_EQ(Cut(Rules(220), S("あいうえおかきくけ「こ」")),
            SjAll({"あいうえおかきくけ", "「こ」"}));
  EXPECT_EQ(Cut(Rules(220, true, true, false), S("あいうえおかきくけ「こ」")),
            SjAll({"あいうえおかきくけ「", "こ」"}));
  // The head rule pulling a character after an opening bracket takes the
  // bracket too.
  EXPECT_EQ(Cut(Rules(220, false), S("あいうえおかきく「け」")),
            SjAll({"あいうえおかきく", "「け」"}));
  // A run of forbidden characters from the line start is cut where it
  // overflows rather than never.
  const std::string bars = S("ーーーーーーーーーーーーーー");
  EXPECT_EQ(Cut(Rules(220, false), bars).size(), 2u);
  const std::string brackets = S("「「「「「「「「「「「「「「");
  EXPECT_EQ(Cut(Rules(220), brackets).size(), 2u);
}

TEST(LineBreaker, UprightAsciiRunsTakeAFullCell) {
  // Vertical with tate-chu-yoko: a run of one or two letters or digits
  // between kanji stands upright in one cell, "!!" too; three or more are
  // set sideways at half a cell each.
  TBreakRules r = Rules(220);
  r.UprightAscii = true;
  std::string ones;
  for (int i = 0; i < 7; ++i) ones += S("日") + "1";
  EXPECT_EQ(Cut(r, ones), (std::vector<std::string>{S("日1日1日1日1日1"), S("日1日1")}));
  std::string pairs;
  for (int i = 0; i < 6; ++i) pairs += S("日") + "12";
  EXPECT_EQ(Cut(r, pairs), (std::vector<std::string>{S("日12日12日12日12日12"), S("日12")}));
  // Ten digits sideways are five cells; "!!" is one.
  EXPECT_EQ(Cut(r, S("日日") + "1234567890" + S("日") + "!!" + S("日")).size(), 1u);
  // Horizontal writing keeps half cells: six "日1" fit in nine cells.
  r.UprightAscii = false;
  EXPECT_EQ(Cut(r, ones.substr(0, 18)).size(), 1u);
}

TEST(LineBreaker, RuleCharactersAreWholeCharacters) {
  // "x" is the trail byte of "』" (81 78) and "A" that of "、" (81 41): as
  // single characters they are not forbidden at a line head.
  const std::string ten = S("あいうえおかきくけこ");
  EXPECT_EQ(Cut(Rules(220, true, true, true, false), ten + "x")[0], ten);
  EXPECT_EQ(Cut(Rules(220, true, true, true, false), ten + "A")[0], ten);
  // Half-width katakana and ASCII punctuation from the rule string are.
  EXPECT_EQ(Cut(Rules(220), ten + ")")[0], ten + ")");
  EXPECT_EQ(Cut(Rules(220), ten + S("ｰ"))[0], ten + S("ｰ"));
}

TEST(LineBreaker, EnglishWordWrap) {
  // 20 letters a line.
  const std::string s = "The quick brown fox jumps over the lazy dog";
  EXPECT_EQ(Cut(Rules(220), s),
            (std::vector<std::string>{"The quick brown fox ", "jumps over the lazy ", "dog"}));
  EXPECT_EQ(Cut(Rules(220, true, true, true, false), s)[0], "The quick brown fox ");
  EXPECT_EQ(Cut(Rules(198, true, true, true, false), s)[0], "The quick brown fo");
  EXPECT_EQ(Cut(Rules(198), s)[0], "The quick brown ");
  // Digits, quotes and "<" belong to words; after a double-byte character
  // the word moves as a whole.
  EXPECT_EQ(Cut(Rules(220), S("あいうえおかきくけ$12%"))[0], S("あいうえおかきくけ"));
  // A word longer than the line is cut at the overflow.
  EXPECT_EQ(Cut(Rules(220), "a " + std::string(30, 'b')),
            (std::vector<std::string>{"a ", std::string(20, 'b'), std::string(10, 'b')}));
}

TEST(LineBreaker, TagsAreZeroWidthAndTransparentToTheRules) {
  const std::string ten = S("あいうえおかきくけこ");
  // A tag costs nothing; "{h\" is no tag but seven characters of text.
  EXPECT_EQ(Cut(Rules(220), "{H\\L\\E}" + ten + "{H\\D\\E}").size(), 1u);
  EXPECT_EQ(Cut(Rules(220), "{H\\L\\E}" + ten + "{h\\D\\E}").size(), 2u);
  EXPECT_EQ(Cut(Rules(220), S("あいうえお{H\\O}注記がとても長いのです{O\\E}かきくけこ")).size(), 1u);
  // A "{H\" without an end is text: three half-width characters.
  EXPECT_EQ(Cut(Rules(220), S("{H\\あいうえおかきく")).size(), 1u);
  EXPECT_EQ(Cut(Rules(220), S("{H\\あいうえおかきくけ")).size(), 2u);
  // A style tag between a character and a full stop does not defeat the
  // head rule.
  const auto lines = Cut(Rules(220, false), ten + "{H\\D\\E}" + S("。"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], ten.substr(0, 18));
  EXPECT_EQ(lines[1], S("こ{H\\D\\E}。"));
  // Tags left after the last character stay on the last line.
  const auto tail = Cut(Rules(220), ten + S("。") + "{H\\D\\E}");
  ASSERT_EQ(tail.size(), 1u);
}

TEST(LineBreaker, TagEndsAreFoundAfreshForEveryText) {
  // The breaker remembers where the last "\E}" was; a new text in the very
  // same buffer, with its "\E}" elsewhere, must not be cut by the old one.
  TLineBreaker b(Rules(110));
  std::string text = S("{H\\あいうえおかきくけこ\\E}さ");  // the tag hides ten characters
  EXPECT_EQ(b.NextBreak(text, 0, 0), text.size());
  const std::string other = S("{H\\あ\\E}いうえおかきくけこさ");
  ASSERT_EQ(other.size(), text.size());
  const char* buffer = text.data();
  text.replace(0, text.size(), other);
  ASSERT_EQ(text.data(), buffer);
  const size_t first = b.NextBreak(text, 0, 0);
  EXPECT_EQ(text.substr(0, first), S("{H\\あ\\E}いうえおか"));
  // Many "{H\" without an end: each loses only its "{", on every line.
  std::string many;
  for (int i = 0; i < 200; ++i) many += "{H\\" + S("あ");
  for (const auto& line : Cut(Rules(110), many)) EXPECT_LE(line.size(), 5u * 3 + 5u * 2 + 3u);
}

TEST(LineBreaker, RubyGroupStaysWithItsBase) {
  const std::string group = S("{H\\B}かわ{B_M}川{B\\E}川");
  const std::string nine = S("あいうえおかきくけ");
  // The base's copy is the 11th character: the group moves with it.
  auto lines = Cut(Rules(220), nine + S("こ") + group);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], group);
  // The group costs nothing; the base is measured once.
  EXPECT_EQ(Cut(Rules(220), nine + group).size(), 1u);
  // Pulled back by the head rule to the base, the group still goes along.
  lines = Cut(Rules(220, false), nine + group + S("。"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], nine);
  EXPECT_EQ(lines[1], group + S("。"));
  // A lone closing literal is ordinary text.
  EXPECT_EQ(Cut(Rules(220), std::string(15, 'a') + "{B\\E}b").size(), 2u);

  // A base that would be cut goes to the next line whole, with its group
  // (the 10th character is the base's first of four).
  const std::string isshou = S("{H\\B}いっしょうけんめい{B_M}一生懸命{B\\E}一生懸命");
  EXPECT_EQ(Cut(Rules(220), nine + isshou), (std::vector<std::string>{nine, isshou}));
  // A base longer than a line is cut between its characters.
  const std::string longBase = S("{H\\B}ながいながいよみがな{B_M}一二三四五六七八九十百千{B\\E}");
  EXPECT_EQ(Cut(Rules(220), S("あい") + longBase + S("一二三四五六七八九十百千")),
            (std::vector<std::string>{S("あい") + longBase + S("一二三四五六七八"), S("九十百千")}));
  // Moved over, a base starting with a character that may not start a line
  // takes the character before it along.
  EXPECT_EQ(Cut(Rules(220), nine + S("{H\\B}ちよ{B_M}々千{B\\E}々千")),
            (std::vector<std::string>{S("あいうえおかきく"), S("け{H\\B}ちよ{B_M}々千{B\\E}々千")}));
}

TEST(LineBreaker, AlwaysMovesOnAndNeverCutsAnEmptyLine) {
  // Not even one character fits: one a line.
  EXPECT_EQ(Cut(Rules(10), S("あいう")), SjAll({"あ", "い", "う"}));
  EXPECT_EQ(Cut(Rules(220), S("あいう"), 20), SjAll({"あ", "い", "う"}));
  EXPECT_EQ(Cut(Rules(-5), "{H\\L\\E}ab"), (std::vector<std::string>{"{H\\L\\E}a", "b"}));
  // A ruby group whose base fits nowhere goes with its first character.
  EXPECT_EQ(Cut(Rules(10), S("{H\\B}か{B_M}川{B\\E}川")).size(), 1u);

  // Random lines under random measures: every cut moves on, holds a visible
  // character, ends on a boundary of the walker's units (never inside a
  // tag span) and keeps each ruby group with its base.
  const std::vector<std::string> pool = {
      S("あ"), S("漢"), S("。"), S("、"), S("」"), S("「"), S("（"), S("ー"),
      "a", "b", " ", "(", ")", "1", "{H\\L\\E}", "{H\\D\\E}", S("{H\\B}かわ{B_M}川{B\\E}川"),
      S("{H\\O}注{O\\E}"), "{", "{H\\", "\\E}", S("ｱ"), S("ﾞ")};
  std::mt19937 rng(12345);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int n = static_cast<int>(rng() % 40);
    for (int k = 0; k < n; ++k) text += pool[rng() % pool.size()];
    TBreakRules r = Rules(static_cast<int>(rng() % 300) - 20, rng() % 2, rng() % 2, rng() % 2,
                          rng() % 2);
    r.BetweenChar = static_cast<int>(rng() % 9) - 4;
    TLineBreaker b(r);
    const int indent = static_cast<int>(rng() % 4);
    size_t pos = 0;
    int guard = 0;
    while (pos < text.size()) {
      const size_t end = b.NextBreak(text, pos, indent);
      ASSERT_GT(end, pos) << "round " << round;
      ASSERT_LE(end, text.size());
      TMarkupWalker w(text);
      size_t i = 0, last = 0;
      while (i < end) i = w.Next(last = i);
      ASSERT_EQ(i, end) << "round " << round;
      if (end < text.size()) {
        const auto unit = w.Tag(last);
        EXPECT_FALSE(unit && unit->Kind == TTagKind::Ruby) << "round " << round;
      }
      pos = end;
      ASSERT_LT(++guard, 1000);
    }
  }
}

TEST(LineBreaker, HangingIndent) {
  const TLineBreaker b(Rules(220));
  EXPECT_EQ(b.HangingIndent(S("・項目")), 1);
  EXPECT_EQ(b.HangingIndent(S("※注")), 1);
  EXPECT_EQ(b.HangingIndent(S("▼")), 1);
  // Doubled, or followed by another symbol, it is no list mark.
  EXPECT_EQ(b.HangingIndent(S("・・・")), 0);
  EXPECT_EQ(b.HangingIndent(S("※「注」")), 0);
  EXPECT_EQ(b.HangingIndent(S("あ・")), 0);
  // Ideographic spaces: one less than the run, two more before a mark.
  EXPECT_EQ(b.HangingIndent(S("　本文")), 0);
  EXPECT_EQ(b.HangingIndent(S("　　　本文")), 2);
  EXPECT_EQ(b.HangingIndent(S("　・項目")), 2);
  EXPECT_EQ(b.HangingIndent(S("　　・項目")), 3);
  EXPECT_EQ(b.HangingIndent(""), 0);
  // Never more than half the line: 5 cells of 22 px in 220 is exactly half.
  EXPECT_EQ(b.HangingIndent(S("　　　　　　本文")), 5);
  EXPECT_EQ(b.HangingIndent(S("　　　　　　　本文")), 0);
}

TEST(ByteSearch, FindsSequencesAnywhereAndNothingBeyondTheText) {
  const std::string ann = "\x81\x6D\x81\x94";  // "［＃"
  EXPECT_TRUE(HasBytes(ann, ann));
  EXPECT_TRUE(HasBytes(S("前［＃注］"), ann));
  EXPECT_TRUE(HasBytes("x" + ann, ann));
  EXPECT_FALSE(HasBytes(ann.substr(0, 3), ann));
  EXPECT_FALSE(HasBytes("", ann));
  // The second byte alone, or after another first byte, is no match.
  EXPECT_FALSE(HasBytes("m\x81\x94", ann));
  EXPECT_FALSE(HasBytes("\x82m\x81\x94\x81", ann));
  EXPECT_TRUE(HasBytes("\x81m\x81m\x81\x94", ann));
  // A match that would run past the end is none.
  const std::string cut = std::string("ab\x81\x6D\x81\x94", 5);
  EXPECT_FALSE(HasBytes(std::string_view(cut.data(), 5), ann));
  EXPECT_TRUE(HasBytes("tab\there", "\t"));
  EXPECT_FALSE(HasBytes("tab", "\t"));
}

// In the corpus books, laid out vertical and horizontal at two sizes, no
// line ends inside the base of a ruby group that would fit on a line, unless
// the group starts that line.
TEST(LineBreaker, RealBooksKeepRubyGroupsWhole) {
  for (const char* name : {"bocchan.sjis.txt", "aozora_annotations.sjis.txt"}) {
    const std::string path = std::string(RPV_SOURCE_DIR) + "/../shared/corpus/" + name;
    TCustomBook book;
    try {
      book.LoadFromFile(path);
    } catch (const std::exception&) {
      GTEST_LOG_(INFO) << "corpus book " << path << " absent: skipped";
      continue;
    }
    for (const bool vertical : {true, false}) {
      for (const int size : {700, 1100}) {
        book.Style.Direction = vertical ? kDirectionVertical : kDirectionHorizontal;
        book.SetPageWidth(size);
        book.SetPageHeight(size * 3 / 4);
        book.BuildLines(0);
        const int64_t cell = book.Style.FontPixels() + book.Style.BetweenChar;
        int groups = 0;
        for (int d = 0; d < book.DisplayLines.Count(); ++d) {
          const std::string text = book.DisplayLines.Item(d)->Text.str();
          bool textBefore = false;
          for (size_t i = 0; i < text.size();) {
            if (text.compare(i, 5, "{H\\B}") != 0) {
              if (text.compare(i, 3, "{H\\") == 0) {
                i = text.find("\\E}", i) + 3;
                continue;
              }
              textBefore = true;
              i += mb::Len(text, i);
              continue;
            }
            const size_t end = text.find("{B\\E}", i) + 5;
            const size_t mid = text.find("{B_M}", i) + 5;
            const size_t baseChars = mb::Count(std::string_view(text).substr(mid, end - 5 - mid));
            size_t after = 0;
            for (size_t k = end; k < text.size() && after < baseChars; k += mb::Len(text, k)) ++after;
            ++groups;
            const bool fits = static_cast<int64_t>(baseChars) * cell <= book.Style.LineLength();
            EXPECT_FALSE(after < baseChars && textBefore && fits && d + 1 < book.DisplayLines.Count())
                << name << (vertical ? " vertical " : " horizontal ") << size << ": " << text;
            i = end;
          }
        }
        EXPECT_GT(groups, 100) << name;
      }
    }
  }
}
