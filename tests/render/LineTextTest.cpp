#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "import/SourceText.h"
#include "render/cbcTables.h"

using namespace rpv;

// Lines that share a buffer must still behave as values of their own: no
// change through one may show through another.
TEST(LineText, SlicesAreIndependentValues) {
  TLineText whole("abcdefghij");
  TLineText head = whole.Slice(0, 3);
  TLineText mid = whole.Slice(3, 4);
  TLineText tail = whole.Slice(7);
  EXPECT_EQ(head, "abc");
  EXPECT_EQ(mid, "defg");
  EXPECT_EQ(tail, "hij");
  EXPECT_EQ(head.data(), whole.data());  // shared, not copied
  EXPECT_TRUE(whole.Slice(10).empty());
  EXPECT_TRUE(whole.Slice(99, 2).empty());
  EXPECT_EQ(whole.Slice(8, 99), "ij");

  // Appending to a slice must not write over the bytes after it.
  head.append("XY");
  EXPECT_EQ(head, "abcXY");
  EXPECT_EQ(whole, "abcdefghij");
  EXPECT_EQ(mid, "defg");
  mid.insert(0, "<");
  mid.push_back('>');
  EXPECT_EQ(mid, "<defg>");
  tail.erase(1, 1);
  EXPECT_EQ(tail, "hj");
  EXPECT_EQ(whole, "abcdefghij");

  // Changing the whole leaves the slices as they were.
  TLineText again = whole.Slice(1, 2);
  whole.assign("0123456789");
  EXPECT_EQ(again, "bc");
  whole.clear();
  EXPECT_EQ(again, "bc");

  // Copies share; assignment replaces.
  TLineText copy = again;
  copy += 'd';
  EXPECT_EQ(again, "bc");
  EXPECT_EQ(copy, "bcd");
  copy = again;
  EXPECT_EQ(copy, "bc");
  TLineText moved = std::move(copy);
  EXPECT_EQ(moved, "bc");
}

TEST(LineText, EditsMatchStdString) {
  const std::string start = "0123456789";
  auto check = [&](auto edit) {
    std::string expected = start;
    TLineText own(start);
    TLineText shared = TLineText(start + "tail").Slice(0, start.size());
    edit(expected);
    edit(own);
    edit(shared);
    EXPECT_EQ(own, expected);
    EXPECT_EQ(shared, expected);
    EXPECT_EQ(own.size(), expected.size());
  };
  check([](auto& s) { s.erase(0, 2); });
  check([](auto& s) { s.erase(8); });
  check([](auto& s) { s.erase(3, 4); });
  check([](auto& s) { s.erase(0); });
  check([](auto& s) { s.erase(10, 5); });
  check([](auto& s) { s.insert(0, "ab"); });
  check([](auto& s) { s.insert(5, "ab"); });
  check([](auto& s) { s.insert(10, "ab"); });
  check([](auto& s) { s.append(3, 'x'); });
  check([](auto& s) { s.assign(2, 'y'); });
  check([](auto& s) { s.erase(0, 2); s.append("zz"); s.insert(1, "-"); });
  check([](auto& s) { s.assign(""); s.append("q"); });

  TLineText t("abc");
  EXPECT_THROW(t.insert(4, "x"), std::out_of_range);
  EXPECT_THROW(t.erase(4), std::out_of_range);
  EXPECT_THROW((void)t.substr(4), std::out_of_range);
  EXPECT_EQ(t, "abc");
  EXPECT_EQ(t.substr(1), "bc");
  EXPECT_EQ(t.find('c'), 2u);
  EXPECT_EQ(t.rfind("ab"), 0u);
  EXPECT_EQ(t.find("zz"), TLineText::npos);
}

// Text taken from itself (a view of its own buffer) must be copied before
// the buffer is rewritten or grown.
TEST(LineText, AssignAndAppendFromItself) {
  TLineText t("abcdef");
  t.append(t.view());
  EXPECT_EQ(t, "abcdefabcdef");
  t.assign(t.view().substr(2, 3));
  EXPECT_EQ(t, "cde");
  t.assign(t.view());
  EXPECT_EQ(t, "cde");
  for (int i = 0; i < 6; ++i) t.append(t.view());  // grows past its room
  EXPECT_EQ(t.size(), 3u * 64);
  EXPECT_EQ(t.view().substr(189), "cde");
}

TEST(LineText, BuffersAreReusedOnlyWhenTheyFit) {
  TLineText t(std::string(100, 'a'));
  const char* buffer = t.data();
  t.clear();
  t.assign(std::string(80, 'b'));
  EXPECT_EQ(t.data(), buffer);  // a buffer of its own that fits is reused
  t.assign("short");
  EXPECT_LT(t.capacity(), 64u);  // one far too large is given back
  EXPECT_EQ(t, "short");
  TLineText sharer = t;
  EXPECT_EQ(t.capacity(), t.size());  // a shared buffer has no room to write
  t.shrink_to_fit();
  EXPECT_EQ(t, "short");
  t.clear();
  t.shrink_to_fit();
  EXPECT_TRUE(t.empty());
  EXPECT_EQ(std::string(t.data()), "");
}

// Converted texts go into shared blocks and still behave as values.
TEST(LineText, PackedTextsShareABlockAndStayApart) {
  TLineTextPack pack;
  TLineText a("first"), b("second");
  pack.Take(a);
  pack.Take(b);
  EXPECT_EQ(b.data(), a.data() + a.size());  // one block, side by side
  a.append("!");                             // a shared block is copied, not written
  EXPECT_EQ(a, "first!");
  EXPECT_EQ(b, "second");
  const TLineText file("file text");
  TLineText slice = file.Slice(5);
  pack.Take(slice);                          // a slice keeps its buffer
  EXPECT_EQ(slice.data(), file.data() + 5);
  TLineText big(std::string(70000, 'x'));
  const char* const own = big.data();
  pack.Take(big);                            // longer than a block: left alone
  EXPECT_EQ(big.data(), own);
  std::vector<TLineText> many(3000, TLineText("0123456789"));
  for (TLineText& t : many) {
    t.append("+");  // a buffer of its own
    pack.Take(t);
  }
  for (const TLineText& t : many) EXPECT_EQ(t, "0123456789+");
  EXPECT_EQ(b, "second");
}

// Source lines share the file text; a new text must not change lines taken
// from the old one.
TEST(LineText, SourceLinesOutliveTheirFileText) {
  TSourceText text;
  text.SetText("first\r\nsecond\nthird");
  ASSERT_EQ(text.Count(), 3u);
  TLineText second = text.Line(1);
  EXPECT_EQ(second, "second");
  EXPECT_EQ(text.Line(2), "third");
  text.SetText("other\r\n");
  EXPECT_EQ(second, "second");
  EXPECT_EQ(text[0], "other");
  text.Clear();
  EXPECT_EQ(second, "second");
  EXPECT_TRUE(text.Empty());
  // A text of its own (a file just read) is split in place and kept, a
  // shared one is copied first and its other holder keeps its breaks.
  TLineText read("one\r\ntwo");
  const char* const bytes = read.data();
  text.SetText(std::move(read));
  EXPECT_EQ(text[0].data(), bytes);
  EXPECT_EQ(text[1], "two");
  TLineText shared("x\r\ny");
  const TLineText holder = shared;
  text.SetText(shared);
  EXPECT_EQ(holder, "x\r\ny");
  EXPECT_EQ(text[1], "y");
}
