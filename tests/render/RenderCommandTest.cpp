// rpv --render and --pages as a user runs them: what they write, print and
// exit with, and what they say when something is wrong.
#include "tests/render/PageTestUtil.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>

#include <filesystem>

#include "platform/Codepage.h"
#include "platform/IniFile.h"

#ifdef RPV_EXE

namespace rpv::testing {
namespace {

struct TRun {
  int Status = -1;
  std::string Out;
  std::string Err;
};

class RenderCommandTest : public PageTest {
 protected:
  // Runs rpv with the arguments (each single-quoted for the shell).
  TRun Run(const std::vector<std::string>& args) const {
    std::string command = "'" RPV_EXE "'";
    for (const std::string& a : args) command += " '" + a + "'";
    const std::string errFile = (temp_.Native() / "stderr.txt").string();
    command += " 2>'" + errFile + "'";
    TRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> buf{};
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) run.Out.append(buf.data(), n);
    const int status = ::pclose(pipe);
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Err = ReadWholeFile(errFile).value_or("");
    return run;
  }
  std::string Native(const std::string& name) const { return (temp_.Native() / name).string(); }
};

TEST_F(RenderCommandTest, RendersAPageAndCountsPages) {
  const auto sample = ReadWholeFile(RPV_SOURCE_DIR "/samples/sample.sjis.txt");
  ASSERT_TRUE(sample);
  WriteBytes("book.txt", *sample);
  // A first run creates info.ini with the default style.
  const TRun pages = Run({"--pages", "--size", "640x480", Native("book.txt")});
  ASSERT_EQ(pages.Status, 0) << pages.Err;
  EXPECT_TRUE(FileExists(Path("info.ini")));
  EXPECT_EQ(TIniFile(Path("info.ini")).ReadSections(), std::vector<std::string>{"Default"});
  const int count = std::stoi(pages.Out);
  EXPECT_GE(count, 2);

  const TRun render = Run({"--render", Native("p2.png"), "--page", "2", "--size", "320x240", "--dpi", "72",
                           "--style", "default", Native("book.txt")});
  ASSERT_EQ(render.Status, 0) << render.Err;
  const auto png = ReadWholeFile(Path("p2.png"));
  ASSERT_TRUE(png);
  EXPECT_EQ(png->substr(0, 8), "\x89PNG\r\n\x1a\n");
  // Width and height in the IHDR chunk.
  auto be32 = [&](size_t at) {
    return (static_cast<unsigned char>((*png)[at]) << 24) | (static_cast<unsigned char>((*png)[at + 1]) << 16) |
           (static_cast<unsigned char>((*png)[at + 2]) << 8) | static_cast<unsigned char>((*png)[at + 3]);
  };
  EXPECT_EQ(be32(16), 320);
  EXPECT_EQ(be32(20), 240);
}

TEST_F(RenderCommandTest, TextPrintsTheDisplayLinesWithReadingsAfterTheirBases) {
  // Horizontal, 72 dpi, 22-point text on a 252-pixel page: ten full-width
  // characters a line; no header, footer or margins.
  WriteBytes("info.ini", "[H]\r\nDirection=0\r\nFontSize=22\r\nPageMarginLeft=0\r\n"
                         "PageMarginTop=0\r\nbytHeader=0\r\nbytFooter=0\r\n");
  WriteBytes("t.txt", Utf8ToCp932("古い｜石橋《いしばし》を渡る。一二三四五六七八九十百\r\n"
                                  "本文［＃「本文」に傍点］［＃未知の注記］\r\n"));
  const TRun text = Run({"--text", "--style", "H", "--dpi", "72", "--size", "252x400", Native("t.txt")});
  ASSERT_EQ(text.Status, 0) << text.Err;
  // Ten characters a line; a note stands before the character it is tied to.
  EXPECT_EQ(text.Out, "古い石橋《いしばし》を渡る。一二\n三四五六七八九十百\n"
                      "本《ヽ》［＃未知の注記］文《ヽ》\n");
}

TEST_F(RenderCommandTest, BadArgumentsAndFailuresExitWithAMessage) {
  WriteText("book.txt", "本文\n");
  WriteStyle("Only");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string says;
  };
  const std::vector<Case> cases = {
      {{}, 2, "usage"},
      {{"--render"}, 2, "needs a value"},
      {{"--render", Native("x.png")}, 2, "no FILE"},
      {{"--render", Native("x.png"), "--page", "0", Native("book.txt")}, 2, "--page"},
      {{"--render", Native("x.png"), "--page", "two", Native("book.txt")}, 2, "--page"},
      {{"--render", Native("x.png"), "--size", "100", Native("book.txt")}, 2, "--size"},
      {{"--render", Native("x.png"), "--size", "99999x10", Native("book.txt")}, 2, "--size"},
      {{"--render", Native("x.png"), "--frobnicate", Native("book.txt")}, 2, "unknown option"},
      {{"--render", Native("x.png"), Native("book.txt"), Native("book.txt")}, 2, "only one FILE"},
      {{"--render", Native("x.png"), Native("missing.txt")}, 1, "cannot open"},
      {{"--render", Native("x.png"), "--style", "Nope", Native("book.txt")}, 1, "no style \"Nope\""},
      {{"--render", Native("x.png"), "--page", "5", Native("book.txt")}, 1, "beyond the last page"},
      {{"--render", Native("no/such/dir/x.png"), Native("book.txt")}, 1, "cannot write"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    if (args.empty()) args = {"--pages"};
    const TRun run = Run(args);
    SCOPED_TRACE(args.front() + " ... " + args.back());
    EXPECT_EQ(run.Status, c.status);
    EXPECT_NE(run.Err.find(c.says), std::string::npos) << run.Err;
  }
  EXPECT_FALSE(FileExists(Path("x.png")));
}

TEST_F(RenderCommandTest, NeverWritesOverItsInputOrAFileThatIsNotAPng) {
  const std::string book = "本文\n";
  WriteText("book.txt", book);
  const auto bookBytes = ReadWholeFile(Path("book.txt"));
  ASSERT_TRUE(bookBytes);
  ASSERT_EQ(Run({"--render", Native("out.png"), Native("book.txt")}).Status, 0);
  const auto png = ReadWholeFile(Path("out.png"));
  // Swapped: the book would become a PNG. Same file as input and output too.
  for (const auto& args : {std::vector<std::string>{"--render", Native("book.txt"), Native("out.png")},
                           std::vector<std::string>{"--render", Native("book.txt"), Native("book.txt")}}) {
    const TRun run = Run(args);
    EXPECT_EQ(run.Status, 1) << args[2];
    EXPECT_NE(run.Err.find("will not write"), std::string::npos) << run.Err;
    EXPECT_EQ(ReadWholeFile(Path("book.txt")), bookBytes);
  }
  EXPECT_EQ(ReadWholeFile(Path("out.png")), png);
  // An existing PNG is replaced as before.
  EXPECT_EQ(Run({"--render", Native("out.png"), "--size", "200x100", Native("book.txt")}).Status, 0);
  EXPECT_NE(ReadWholeFile(Path("out.png")), png);
}

TEST_F(RenderCommandTest, ArchiveMembersAreNamedWithMember) {
  const std::string lzh = RPV_SOURCE_DIR "/../shared/corpus/archives/lha_filename_cp932.lzh";
  if (!std::filesystem::exists(lzh)) GTEST_SKIP() << "no corpus: " << lzh;
  // Without --member: the members, and how to name one.
  const TRun list = Run({"--pages", lzh});
  EXPECT_EQ(list.Status, 1);
  for (const char* says : {"--member", "\n  漢字.txt", "\n  表.txt"})
    EXPECT_NE(list.Err.find(says), std::string::npos) << list.Err;

  const TRun pages = Run({"--pages", "--member", "漢字.txt", lzh});
  ASSERT_EQ(pages.Status, 0) << pages.Err;
  EXPECT_EQ(pages.Out, "1\n");
  EXPECT_TRUE(FileExists(Path("archive/" + Utf8ToCp932("漢字.txt"))));
  const TRun render = Run({"--render", Native("m.png"), "--member", "表.txt", lzh});
  ASSERT_EQ(render.Status, 0) << render.Err;
  EXPECT_TRUE(FileExists(Path("m.png")));

  const TRun missing = Run({"--pages", "--member", "nothing.txt", lzh});
  EXPECT_EQ(missing.Status, 1);
  EXPECT_NE(missing.Err.find("no member nothing.txt"), std::string::npos) << missing.Err;
}

}  // namespace
}  // namespace rpv::testing

#endif  // RPV_EXE
