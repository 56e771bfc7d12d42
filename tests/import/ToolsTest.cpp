#include <gtest/gtest.h>

#include "import/Tools.h"
#include "platform/Codepage.h"
#include "tests/support/TestSupport.h"

using namespace rpv;

using test::S;

TEST(TextOps, PositionSearches) {
  EXPECT_EQ(PosFrom("b", "abcabc", 1), 2);
  EXPECT_EQ(PosFrom("b", "abcabc", 3), 5);
  EXPECT_EQ(PosFrom("b", "abcabc", 6), 0);
  EXPECT_EQ(PosFrom("", "abc", 2), 2);
  EXPECT_EQ(PosFrom("", "abc", 4), 4);
  EXPECT_EQ(PosFrom("x", "abc", 99), 0);

  // "表" is 0x95 0x5C and "ソ" is 0x83 0x5C: a backslash search must not
  // land on either trail byte, but a byte-wise one does.
  const std::string s = S("表ソ\\x");
  EXPECT_EQ(PosFrom("\\", s, 1), 2);
  EXPECT_EQ(AnsiPosFrom("\\", s, 1), 5);
  EXPECT_EQ(AnsiPosFrom("\\", s, 5), 5);
  EXPECT_EQ(AnsiPosFrom("\\", s, 6), 0);
  // A start position on a trail byte still finds only whole characters.
  EXPECT_EQ(AnsiPosFrom(S("ソ"), s, 2), 3);
  EXPECT_EQ(AnsiPosFrom("x", s, 0), 0);
  EXPECT_EQ(AnsiPosFrom("x", s, 7), 0);
  EXPECT_EQ(AnsiPosFrom("", s, 3), 3);
}

TEST(TextOps, RepeatCopyAndDigits) {
  EXPECT_EQ(RepeatString("ab", 3), "ababab");
  EXPECT_EQ(RepeatString("ab", 0), "");
  EXPECT_EQ(RepeatString("ab", -2), "");
  EXPECT_EQ(CopyBytes("abc", 5), "abc");
  EXPECT_EQ(CopyBytes("abc", 2), "ab");
  EXPECT_EQ(CopyBytes(std::string_view("ab\0cd", 5), 4), "ab");
  EXPECT_EQ(CopyBytes("abc", -1), "");
  EXPECT_EQ(WideDigitsToAscii(S("第１２３ページ9０")), "1230");
  // A lead byte 0x82 at the very end is not half a digit.
  EXPECT_EQ(WideDigitsToAscii("\x82"), "");
}

TEST(PathOps, ExtensionLists) {
  EXPECT_TRUE(MatchesExtList("a.JPG", "bmp;jpg;jpeg"));
  EXPECT_FALSE(MatchesExtList("a.jpe", "bmp;jpg;jpeg"));
  EXPECT_FALSE(MatchesExtList("noext", "bmp;jpg"));
  EXPECT_TRUE(MatchesExtList("a.txt", ""));
  EXPECT_TRUE(MatchesExtList("/x/book.HTML", "htm;html;shtm;shtml;cgi"));
  // A dot in a folder name is not an extension; an empty item matches nothing.
  EXPECT_FALSE(MatchesExtList("/x.zip/file", "zip"));
  EXPECT_FALSE(MatchesExtList("a.txt", "zip;"));
  EXPECT_FALSE(MatchesExtList("C:\\x.zip\\file", "zip", kWindowsPathStyle));
  EXPECT_TRUE(MatchesExtList("C:\\dir\\a.Lzh", "lzh;zip;rar", kWindowsPathStyle));
  EXPECT_FALSE(MatchesExtList("C:noext", "lzh", kWindowsPathStyle));
}

TEST(PathOps, SeparatorsRespectDoubleByteCharacters) {
  const PathStyle win = kWindowsPathStyle;
  const std::string hyo = S("表");  // ends in 0x5C
  EXPECT_EQ(EnsureTrailingSep("C:\\" + hyo, win), "C:\\" + hyo + "\\");
  EXPECT_EQ(EnsureTrailingSep("C:\\a\\", win), "C:\\a\\");
  EXPECT_EQ(EnsureTrailingSep("", win), "");
  EXPECT_EQ(EnsureLeadingSep("a", win), "\\a");
  EXPECT_EQ(EnsureLeadingSep("\\a", win), "\\a");
  EXPECT_EQ(DropLeadingSep("\\\\a", win), "\\a");
  EXPECT_EQ(DropLeadingSep("a", win), "a");

  EXPECT_EQ(EnsureTrailingSep("/home/x"), "/home/x/");
  EXPECT_EQ(EnsureTrailingSep("/home/x/"), "/home/x/");
  EXPECT_EQ(EnsureLeadingSep("a/b"), "/a/b");
  EXPECT_EQ(DropLeadingSep("/a"), "a");
  // Under POSIX rules the backslash is an ordinary character.
  EXPECT_EQ(EnsureTrailingSep("a\\"), "a\\/");
}

TEST(PathOps, ExpandAndResolveWindows) {
  const PathStyle win = kWindowsPathStyle;
  EXPECT_EQ(ExpandRelativePath("C:\\a\\b\\..\\c\\.\\d.txt", win), "C:\\a\\c\\d.txt");
  EXPECT_EQ(ExpandRelativePath("C:\\a\\..\\..\\b", win), "C:\\b");
  EXPECT_EQ(ExpandRelativePath("C:\\a\\b\\", win), "C:\\a\\b\\");
  EXPECT_EQ(ExpandRelativePath("C:\\a\\..", win), "C:\\");
  EXPECT_EQ(ExpandRelativePath("C:\\a\\\\b", win), "C:\\a\\b");
  EXPECT_EQ(ExpandRelativePath("\\\\srv\\share\\a\\..\\b", win), "\\\\srv\\share\\b");
  // A folder whose name ends in a 0x5C trail byte is one segment.
  const std::string hyo = S("表");
  EXPECT_EQ(ExpandRelativePath("C:\\" + hyo + "\\x\\..\\y", win), "C:\\" + hyo + "\\y");

  EXPECT_EQ(ResolvePath("C:\\doc", "..\\img\\p.jpg", win), "C:\\img\\p.jpg");
  EXPECT_EQ(ResolvePath("C:\\doc\\", "img\\p.jpg", win), "C:\\doc\\img\\p.jpg");
  EXPECT_EQ(ResolvePath("C:\\any", "D:\\x", win), "D:\\x");
  EXPECT_EQ(ResolvePath("C:\\doc", "\\x", win), "C:\\doc\\x");
  EXPECT_TRUE(IsAbsolutePath("\\\\srv\\share", win));
  EXPECT_FALSE(IsAbsolutePath("\\x", win));
}

TEST(PathOps, ExpandAndResolvePosix) {
  EXPECT_EQ(ExpandRelativePath("/a/b/../c/./d.txt"), "/a/c/d.txt");
  EXPECT_EQ(ExpandRelativePath("/../../x"), "/x");
  EXPECT_EQ(ExpandRelativePath("/a/b/"), "/a/b/");
  EXPECT_EQ(ExpandRelativePath("/a//b/.."), "/a");
  EXPECT_EQ(ExpandRelativePath("/"), "/");
  // Text before the first separator is kept rather than lost.
  EXPECT_EQ(ExpandRelativePath("a/b"), "/a/b");
  const std::string hyo = S("表");
  EXPECT_EQ(ExpandRelativePath("/" + hyo + "/x/../y"), "/" + hyo + "/y");

  EXPECT_EQ(ResolvePath("/doc", "../img/p.jpg"), "/img/p.jpg");
  EXPECT_EQ(ResolvePath("/doc/", "./p.jpg"), "/doc/p.jpg");
  EXPECT_EQ(ResolvePath("/any", "/x/../y"), "/x/../y");
  EXPECT_EQ(ResolvePath("/home/u/book", "chap/1.html#top"), "/home/u/book/chap/1.html#top");
  EXPECT_TRUE(IsAbsolutePath("/x"));
  EXPECT_FALSE(IsAbsolutePath("C:\\x"));
}
