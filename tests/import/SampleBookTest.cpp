// Whole books through BuildLines with the default style at 96 dpi on an
// 800 x 600 page, vertical and horizontal: the sample book and a longer
// generated Aozora-style text. Every display line is checked against the
// rules the line builder promises, with a measure written independently of
// the builder's own.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "import/CustomBookClass.h"
#include "import/MbScan.h"
#include "import/TextConvert.h"
#include "tests/support/TestSupport.h"

using namespace rpv;
using rpv::test::S;
using rpv::test::TTempFolder;

namespace {

struct TVisible {
  size_t Pos;
  size_t Len;
};

// The visible characters of a markup line: a "{H\" in any case up to the
// next "\E}" is a tag; without one only the "{" is skipped.
std::vector<TVisible> VisibleChars(const std::string& t) {
  std::vector<TVisible> v;
  for (size_t i = 0; i < t.size();) {
    if (t[i] == '{' && i + 2 < t.size() && (t[i + 1] == 'H' || t[i + 1] == 'h') && t[i + 2] == '\\') {
      const size_t e = t.find("\\E}", i + 3);
      i = e == std::string::npos ? i + 1 : e + 3;
      continue;
    }
    const size_t len = mb::Len(t, i);
    v.push_back({i, len});
    i += len;
  }
  return v;
}

std::set<std::string> CharsOf(const std::string& s) {
  std::set<std::string> out;
  for (size_t i = 0; i < s.size(); i += mb::Len(s, i)) out.insert(s.substr(i, mb::Len(s, i)));
  return out;
}

// Checks every promise of the built tables; `what` names the case.
void CheckBook(TCustomBook& book, const std::string& what) {
  SCOPED_TRACE(what);
  const TInfo& st = book.Style;
  const int F = st.FontPixels();
  const int B = st.BetweenChar;
  const int W = st.LineLength();
  const auto head = CharsOf(st.RuleCharHead);
  const auto end = CharsOf(st.RuleCharEnd);
  const TLines& d = book.DisplayLines;
  const int n = d.Count();
  ASSERT_GT(n, 0);
  auto charAt = [](const std::string& t, const TVisible& c) { return t.substr(c.Pos, c.Len); };
  // Lines cut from one source line follow each other.
  auto continues = [&d](int i) {
    return i > 0 && d.Item(i - 1)->SourceIndex == d.Item(i)->SourceIndex &&
           !d.Item(i - 1)->Text.empty() && !d.Item(i)->Text.empty();
  };

  for (int i = 0; i < n; ++i) {
    const std::string& t = d.Item(i)->Text;
    const auto vis = VisibleChars(t);
    // Whole characters only.
    size_t walk = 0;
    while (walk < t.size()) walk += mb::Len(t, walk);
    EXPECT_EQ(walk, t.size()) << "line " << i;
    // The line fits, but for one hanging character in its reserved cell.
    int64_t x = int64_t{d.Item(i)->Indent} * F;
    for (size_t k = 0; k < vis.size(); ++k) {
      x += mb::Len(t, vis[k].Pos) == 2 || IsLeadByte(static_cast<unsigned char>(t[vis[k].Pos]))
               ? F
               : (F + 1) / 2;
      if (x > W) {
        EXPECT_TRUE(st.blnHang && k + 1 == vis.size() && head.count(charAt(t, vis[k])))
            << "line " << i << " overflows: " << Cp932ToUtf8(t);
      }
      x += B;
    }
    // Kinsoku at both ends of a cut.
    if (continues(i) && st.blnRuleCharHead && !vis.empty()) {
      EXPECT_EQ(head.count(charAt(t, vis.front())), 0u)
          << "line " << i << " begins with a forbidden character: " << Cp932ToUtf8(t);
    }
    if (i + 1 < n && continues(i + 1) && st.blnRuleCharEnd && !vis.empty()) {
      EXPECT_EQ(end.count(charAt(t, vis.back())), 0u)
          << "line " << i << " ends with an opening bracket: " << Cp932ToUtf8(t);
    }
    // Every ruby group is followed, on its own line, by its base.
    for (size_t at = t.find("{H\\B}"); at != std::string::npos; at = t.find("{H\\B}", at + 1)) {
      const size_t mid = t.find("{B_M}", at);
      const size_t close = t.find("{B\\E}", at);
      ASSERT_NE(close, std::string::npos);
      const std::string base = t.substr(mid + 5, close - mid - 5);
      const std::string first = base.substr(0, mb::Len(base, 0));
      EXPECT_EQ(t.compare(close + 5, first.size(), first), 0)
          << "line " << i << " separates a ruby group from its base: " << Cp932ToUtf8(t);
    }
    // Annotations that act are gone from the text.
    for (const char* gone : {"ここから", "字下げ終わり", "改ページ"}) {
      EXPECT_EQ(t.find(S(gone)), std::string::npos) << Cp932ToUtf8(t);
    }
  }

  // Cutting loses nothing: the lines of a source line put together give it
  // (the text search reads source lines that way). The source lines are
  // made here as layout makes them.
  TLines sources;
  const bool ruby = st.HasRubyFlag(kRubyOn);
  for (size_t s = 0; s < book.SourceText.Count(); ++s) {
    TLine& line = *sources.Item(sources.Add());
    const std::string_view raw = book.SourceText[s];
    line.Text = ruby ? ConvertRubyMarks(raw, st) : std::string(raw);
    line.SourceIndex = static_cast<int32_t>(s);
  }
  if (ruby) ApplyAnnotations(sources, st);
  for (int s = 0; s < sources.Count(); ++s) {
    TLine& src = *sources.Item(s);
    PrepareLineInPlace(src.Text, st);
    if (src.Text.find(S("［＃")) != std::string::npos) continue;
    std::string joined;
    for (int i = 0; i < n; ++i) {
      if (d.Item(i)->SourceIndex == src.SourceIndex) joined += d.Item(i)->Text;
    }
    EXPECT_EQ(joined, src.Text) << "source line " << src.SourceIndex;
  }

  // Block indents: between the start and end annotations every line has it.
  const TSourceText& text = book.SourceText;
  int indent = 0;
  std::vector<int> expected(text.Count(), 0);
  for (size_t s = 0; s < text.Count(); ++s) {
    if (text[s] == S("［＃ここから２字下げ］")) indent = 2;
    if (text[s] == S("［＃ここで字下げ終わり］")) indent = 0;
    expected[s] = indent;
  }
  for (int i = 0; i < n; ++i) {
    const TLine& line = *d.Item(i);
    if (!line.Text.empty() && expected[static_cast<size_t>(line.SourceIndex)] == 2) {
      EXPECT_GE(line.Indent, 2) << "line " << i;
    }
  }

  // A page break on a line of its own: what follows starts a page.
  const int perPage = st.LinesPerColumn() * st.Columns();
  for (size_t s = 0; s + 1 < text.Count(); ++s) {
    if (text[s] != S("［＃改ページ］")) continue;
    int first = -1;
    for (int i = 0; i < n && first < 0; ++i) {
      if (d.Item(i)->SourceIndex == static_cast<int>(s + 1)) first = i;
    }
    ASSERT_GE(first, 0);
    EXPECT_EQ(first % perPage, 0) << "after the break on source line " << s;
  }
  EXPECT_EQ(book.PageCount, (n + perPage - 1) / perPage);
}

// BuildLines of a source line returns a display line of that line, or 0
// when none has it; checked for every step-th source line.
void CheckPositions(TCustomBook& book, int step) {
  const int count = static_cast<int>(book.SourceText.Count());
  for (int s = 1; s < count; s += step) {
    const int got = book.BuildLines(s);
    bool exists = false;
    for (int i = 0; i < book.DisplayLines.Count() && !exists; ++i)
      exists = book.DisplayLines.Item(i)->SourceIndex == s;
    if (exists) {
      ASSERT_GE(got, 0);
      EXPECT_EQ(book.DisplayLines.Item(got)->SourceIndex, s) << "source line " << s;
    } else {
      EXPECT_EQ(got, 0) << "source line " << s;
    }
  }
}

void DefaultPage(TCustomBook& book, const TTempFolder& tmp, bool vertical) {
  book.LoadStyle(tmp.Dir() + "info.ini", "default", 96);
  book.Style.Direction = vertical ? kDirectionVertical : kDirectionHorizontal;
  book.SetPageWidth(800);
  book.SetPageHeight(600);
}

// A longer book in the style of the sample: long paragraphs of kana and
// kanji with punctuation, brackets, ruby in both notations, emphasis,
// English and digits, bulleted and indented passages and page breaks.
std::string MakeBook(unsigned seed, int paragraphs) {
  std::mt19937 rng(seed);
  const std::vector<std::string> words = {
      "あの", "川は", "静かに", "流れて", "いた", "桜の", "花びらが", "水面に", "浮かぶ", "私は",
      "｜石橋《いしばし》の", "川面《かわも》に", "千代《ちよ》は", "霧", "ＡＢＣ", "2024年", "English words here",
      "The quick brown fox jumps", "、", "、", "。", "。", "「", "」", "（", "）", "『", "』", "ー", "…",
      "？", "！", "ヽ", "々", "っ", "ゃ", "――", "・", "～"};
  std::string out;
  for (int p = 0; p < paragraphs; ++p) {
    const unsigned kind = rng() % 20;
    if (kind == 0) {
      out += "［＃改ページ］\r\n";
      continue;
    }
    if (kind == 1) {
      out += "［＃ここから２字下げ］\r\n";
      for (int k = 0; k < 3; ++k) out += "　" + words[rng() % 10] + words[rng() % 10] + "\r\n";
      out += "［＃ここで字下げ終わり］\r\n";
      continue;
    }
    if (kind == 2) {
      out += "・" + words[rng() % 10] + words[rng() % 10] + words[rng() % 10] + words[rng() % 10] +
             words[rng() % 10] + words[rng() % 10] + words[rng() % 10] + "\r\n";
      continue;
    }
    if (kind == 3) {
      out += "\r\n";
      continue;
    }
    std::string para = "　";
    const int len = 20 + static_cast<int>(rng() % 200);
    for (int k = 0; k < len; ++k) {
      para += words[rng() % words.size()];
      if (rng() % 40 == 0) para += "あいう［＃「あいう」に傍点］";
    }
    out += para + "。\r\n";
  }
  return S(out);
}

}  // namespace

TEST(SampleBook, KeepsEveryRuleInBothDirections) {
  TTempFolder tmp("rpv_book_");
  for (const bool vertical : {true, false}) {
    TCustomBook book;
    DefaultPage(book, tmp, vertical);
    book.LoadFromFile(RPV_SOURCE_DIR "/samples/sample.sjis.txt");
    ASSERT_GT(book.SourceText.Count(), 40u);
    EXPECT_EQ(book.BuildLines(0), 0);
    CheckBook(book, vertical ? "sample, vertical" : "sample, horizontal");
    CheckPositions(book, 1);
    EXPECT_NE(book.DisplayLines.Item(0)->Text.find("{H\\B}"), std::string::npos);
  }
}

TEST(SampleBook, LongGeneratedBookUnderSeveralRuleSets) {
  TTempFolder tmp("rpv_book_");
  const std::string file = tmp.Write("long.txt", MakeBook(7, 400));
  struct Case {
    const char* name;
    bool vertical, hang, head, end, wordWrap;
    int between;
  };
  const Case cases[] = {
      {"vertical", true, true, true, true, true, 0},
      {"horizontal", false, true, true, true, true, 0},
      {"vertical, no hanging", true, false, true, true, true, 0},
      {"horizontal, no word wrap, spaced", false, true, true, true, false, 3},
      {"horizontal, rules off", false, false, false, false, true, -2},
  };
  for (const Case& c : cases) {
    TCustomBook book;
    DefaultPage(book, tmp, c.vertical);
    book.Style.blnHang = c.hang;
    book.Style.blnRuleCharHead = c.head;
    book.Style.blnRuleCharEnd = c.end;
    book.Style.WordWrap = c.wordWrap;
    book.Style.BetweenChar = c.between;
    book.LoadFromFile(file);
    book.BuildLines(0);
    ASSERT_GT(book.DisplayLines.Count(), 2000);
    CheckBook(book, c.name);
  }
  TCustomBook book;
  DefaultPage(book, tmp, true);
  book.LoadFromFile(file);
  CheckPositions(book, 97);
}
