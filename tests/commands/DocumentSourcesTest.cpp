#include <gtest/gtest.h>

#include <set>

#include "app/commands/DocumentSources.h"
#include "import/CharCodeConverter.h"
#include "platform/Codepage.h"
#include "tests/support/TestSupport.h"
#include "platform/FileIO.h"

using namespace rpv;

namespace {

using test::S;

// A staged file system: only the listed paths are files.
TFileExists Files(std::set<std::string> paths) {
  return [paths = std::move(paths)](std::string_view p) { return paths.count(std::string(p)) > 0; };
}

using TKind = TLinkAction::TKind;

}  // namespace

TEST(Links, ShellTargetsGoToTheDesktopUnchanged) {
  const auto none = Files({});
  for (const char* t : {"mailto:a@b.jp", "http://example.com/a/../b", "https://example.com/"}) {
    const TLinkAction a = ResolveLinkAction(t, "/doc/", none);
    EXPECT_EQ(a.Kind, TKind::Shell) << t;
    EXPECT_EQ(a.Target, t);
    EXPECT_EQ(ResolveLinkTarget(t, "/doc/"), t);
  }
  // The prefixes are case-sensitive: these are paths.
  EXPECT_FALSE(IsShellLinkTarget("HTTP://example.com/"));
  EXPECT_FALSE(IsShellLinkTarget("Mailto:a@b"));
  EXPECT_FALSE(IsShellLinkTarget("http:/x"));
  EXPECT_EQ(ResolveLinkAction("HTTP://example.com/", "/doc/", none).Kind, TKind::None);
}

TEST(Links, RelativeTargetsClimbFoldersAndFolderLinksOpenTheirIndex) {
  // A document in /A/B/ linking to ../index.html opens A's index.html.
  const auto fs = Files({"/A/index.html", "/A/B/c.html", "/A/B/sub/index.htm",
                         "/A/B/both/index.html", "/A/B/both/index.htm", "/abs/x.txt"});
  TLinkAction a = ResolveLinkAction("../index.html", "/A/B/", fs);
  EXPECT_EQ(a.Kind, TKind::Open);
  EXPECT_EQ(a.Target, "/A/index.html");
  EXPECT_FALSE(a.HasAnchor);
  a = ResolveLinkAction("./c.html", "/A/B/", fs);
  EXPECT_EQ(a.Target, "/A/B/c.html");
  a = ResolveLinkAction("/abs/x.txt", "/A/B/", fs);
  EXPECT_EQ(a.Target, "/abs/x.txt");

  // Folder links: index.html first, else index.htm, else nothing.
  EXPECT_EQ(ResolveLinkAction("sub/", "/A/B/", fs).Target, "/A/B/sub/index.htm");
  EXPECT_EQ(ResolveLinkAction("both/", "/A/B/", fs).Target, "/A/B/both/index.html");
  EXPECT_EQ(ResolveLinkAction("../", "/A/B/", fs).Target, "/A/index.html");
  EXPECT_EQ(ResolveLinkAction("empty/", "/A/B/", fs).Kind, TKind::None);
  // Without the slash a folder is not a file.
  EXPECT_EQ(ResolveLinkAction("sub", "/A/B/", fs).Kind, TKind::None);
  // A missing file is ignored.
  EXPECT_EQ(ResolveLinkAction("missing.html", "/A/B/", fs).Kind, TKind::None);
  EXPECT_EQ(ResolveLinkTarget("../x/./y.html", "/A/B/"), "/A/x/y.html");
}

TEST(Links, AnchorsOpenTheFileThenTheAnchorAndABareAnchorDoesNothing) {
  const auto fs = Files({"/A/B/c.html", "/A/d.html"});
  TLinkAction a = ResolveLinkAction("c.html#part2", "/A/B/", fs);
  EXPECT_EQ(a.Kind, TKind::Open);
  EXPECT_EQ(a.Target, "/A/B/c.html");
  EXPECT_TRUE(a.HasAnchor);
  EXPECT_EQ(a.Anchor, "part2");
  a = ResolveLinkAction("../d.html#x#y", "/A/B/", fs);
  EXPECT_EQ(a.Target, "/A/d.html");
  EXPECT_EQ(a.Anchor, "x#y");  // the first "#" splits
  a = ResolveLinkAction("c.html#", "/A/B/", fs);
  EXPECT_TRUE(a.HasAnchor);
  EXPECT_EQ(a.Anchor, "");
  // "#anchor" alone leaves only the folder, which is no file.
  EXPECT_EQ(ResolveLinkAction("#part2", "/A/B/", fs).Kind, TKind::None);
  EXPECT_EQ(ResolveLinkAction("missing.html#part2", "/A/B/", fs).Kind, TKind::None);
  // An anchor on a folder link is not followed.
  EXPECT_EQ(ResolveLinkAction("../#x", "/A/B/", Files({"/A/index.html"})).Kind, TKind::None);
}

TEST(Links, WindowsRulesTurnSlashesIntoBackslashes) {
  const auto fs = Files({"C:\\doc\\index.html", "C:\\doc\\b\\" + S("表") + "\\index.htm",
                         "D:\\x.txt"});
  TLinkAction a = ResolveLinkAction("../index.html", "C:\\doc\\a\\", fs, kWindowsPathStyle);
  EXPECT_EQ(a.Target, "C:\\doc\\index.html");
  a = ResolveLinkAction("D:/x.txt", "C:\\doc\\", fs, kWindowsPathStyle);
  EXPECT_EQ(a.Target, "D:\\x.txt");
  // A folder whose name ends in the trail byte 0x5C (表) is not "a path
  // ending in a separator" until the real separator follows.
  a = ResolveLinkAction("b/" + S("表") + "/", "C:\\doc\\", fs, kWindowsPathStyle);
  EXPECT_EQ(a.Target, "C:\\doc\\b\\" + S("表") + "\\index.htm");
  EXPECT_EQ(ResolveLinkAction("b/" + S("表"), "C:\\doc\\", fs, kWindowsPathStyle).Kind,
            TKind::None);
}

TEST(Links, RealFilesAndFolders) {
  test::TTempFolder temp("rpv_cmd_");
  const std::string dir = temp.Dir();
  std::filesystem::create_directories(temp.Native() / "A" / "B");
  ASSERT_TRUE(WriteFileAtomic(dir + "A/index.html", "<html></html>"));
  ASSERT_TRUE(WriteFileAtomic(dir + "A/B/page.html", "<html></html>"));
  const TFileExists exists = [](std::string_view p) { return FileExists(p); };
  EXPECT_EQ(ResolveLinkAction("../index.html", dir + "A/B/", exists).Target, dir + "A/index.html");
  EXPECT_EQ(ResolveLinkAction("../", dir + "A/B/", exists).Target, dir + "A/index.html");
  // The folder itself exists but is not a file.
  EXPECT_EQ(ResolveLinkAction("#x", dir + "A/B/", exists).Kind, TKind::None);
  EXPECT_EQ(ResolveLinkAction("../B", dir + "A/B/", exists).Kind, TKind::None);
}

TEST(Clipboard, AnExistingPathOpensThatFileOtherTextIsSaved) {
  const auto fs = Files({"/home/u/book.txt"});
  TClipboardAction a = DecideClipboard(true, "/home/u/book.txt", "/exe/", fs);
  EXPECT_EQ(a.Kind, TClipboardAction::TKind::OpenFile);
  EXPECT_EQ(a.Path, "/home/u/book.txt");

  // Anything more than the path is text, saved with CR LF line ends.
  a = DecideClipboard(true, "/home/u/book.txt\n", "/exe/", fs);
  EXPECT_EQ(a.Kind, TClipboardAction::TKind::SaveText);
  EXPECT_EQ(a.Path, "/exe/clipbord.txt");
  EXPECT_EQ(a.FileText, "/home/u/book.txt\r\n");
  a = DecideClipboard(true, S("一行目\n二行目\r\n\r\n四行目\r五"), "/exe/", fs);
  EXPECT_EQ(a.FileText, S("一行目\r\n二行目\r\n\r\n四行目\r\n五\r\n"));
  // Characters Shift_JIS lacks are kept as UTF-8, which reads back as the
  // same characters.
  {
    const test::TTempFolder home("rpv_clip_", test::TTempFolder::SetsHome);
    a = DecideClipboard(true, S("café 𠮷"), "/exe/", fs);
    EXPECT_EQ(a.FileText, "\xEF\xBB\xBF" "café 𠮷\r\n");
    EXPECT_EQ(BytesToSjis(a.FileText), S("café 𠮷\r\n"));
  }

  EXPECT_EQ(DecideClipboard(false, "", "/exe/", fs).Kind, TClipboardAction::TKind::None);
  EXPECT_EQ(DecideClipboard(true, "", "/exe/", fs).Kind, TClipboardAction::TKind::None);

  EXPECT_EQ(TextAsCrLfLines("a"), "a\r\n");
  EXPECT_EQ(TextAsCrLfLines("a\r\n"), "a\r\n");
  EXPECT_EQ(TextAsCrLfLines("\n\n"), "\r\n\r\n");
  EXPECT_EQ(TextAsCrLfLines(""), "");
  // A 0x0A or 0x0D byte is never a trail byte, so double-byte text is safe.
  EXPECT_EQ(TextAsCrLfLines(S("表\nソ")), S("表\r\nソ\r\n"));
}

TEST(OpenDialog, FilterAndFolder) {
  EXPECT_EQ(Cp932ToUtf8(OpenDialogFilter()),
            "Text(*.txt *.htm *.html *.shtm *.shtml)|*.txt;*.htm;*.html;*.shtm;*.shtml|"
            "アーカイブ(*.lzh *.zip *.rar)|*.lzh;*.zip;*.rar|すべてのファイル(*.*)|*.*");
  const auto filters = OpenDialogNameFilters();
  ASSERT_EQ(filters.size(), 3u);
  EXPECT_EQ(filters[0], "Text (*.txt *.htm *.html *.shtm *.shtml)");
  EXPECT_EQ(Cp932ToUtf8(filters[1]), "アーカイブ (*.lzh *.zip *.rar)");
  EXPECT_EQ(Cp932ToUtf8(filters[2]), "すべてのファイル (*)");
  // "|" as a trail byte (ポ is 0x83 0x7C) does not split.
  EXPECT_EQ(Cp932ToUtf8(OpenDialogNameFilters(S("ポ|*.p;;*.q|odd"))[0]), "ポ (*.p *.q)");

  EXPECT_EQ(OpenDialogFolder("/arc/books.zip", "/home/u/archive/x/"), "/arc/");
  EXPECT_EQ(OpenDialogFolder("/arc/books.ZIP", "/cur/"), "/arc/");
  EXPECT_EQ(OpenDialogFolder("", "/cur/"), "/cur/");
  EXPECT_EQ(OpenDialogFolder("/arc/books.7z", "/cur/"), "/cur/");
  EXPECT_EQ(OpenDialogFolder("C:\\arc\\b.lzh", "C:\\cur\\", kWindowsPathStyle), "C:\\arc\\");

}
