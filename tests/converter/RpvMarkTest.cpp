// rpvmark run as a command in a scratch folder: when it acts, what bm.csv it
// writes, that the store reads that file, and how it fails.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "bookmarks/rpvBookMark.h"
#include "platform/Codepage.h"
#include "platform/FileIO.h"
#include "tests/support/TestSupport.h"

using namespace rpv;
namespace fs = std::filesystem;

namespace {

class RpvMark : public ::testing::Test {
 protected:
  void Write(const char* name, const std::string& bytes) const { temp_.Write(name, bytes); }
  std::string Read(const char* name) const { return temp_.Read(name); }

  // Runs rpvmark with the scratch folder as its current directory and an
  // optional file-size limit; returns its exit status, keeps its stderr.
  int Run(rlim_t fileSizeLimit = RLIM_INFINITY) {
    const fs::path errPath =
        temp_.Native().parent_path() / (temp_.Native().filename().string() + ".err");
    const pid_t pid = ::fork();
    if (pid == 0) {
      const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (err < 0 || ::dup2(err, 2) < 0 || ::chdir(temp_.Native().c_str()) != 0) ::_exit(200);
      if (fileSizeLimit != RLIM_INFINITY) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = fileSizeLimit;
        ::setrlimit(RLIMIT_FSIZE, &limit);
      }
      ::execl(RPVMARK_EXE, "rpvmark", "ignored-argument", static_cast<char*>(nullptr));
      ::_exit(201);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    std::ifstream in(errPath);
    std::ostringstream s;
    s << in.rdbuf();
    stderr_ = s.str();
    fs::remove(errPath);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  size_t FileCount() {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(temp_.Native())) ++n;
    return n;
  }

  const test::TTempFolder temp_{"rpv_mark_"};
  std::string stderr_;
};

}  // namespace

TEST_F(RpvMark, DoesNothingWithoutInputOrWithAnOutputAlreadyThere) {
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(FileCount(), 0u);

  Write("bm.ini", "/a\r\n2004/05/06\r\n1\r\n");
  Write("bm.csv", "keep");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Read("bm.csv"), "keep");
  EXPECT_EQ(Read("bm.ini"), "/a\r\n2004/05/06\r\n1\r\n");

  // A folder, or a link leading nowhere, named bm.csv counts as present too.
  fs::remove(temp_.Native() / "bm.csv");
  fs::create_directory(temp_.Native() / "bm.csv");
  EXPECT_EQ(Run(), 0);
  fs::remove(temp_.Native() / "bm.csv");
  fs::create_symlink(temp_.Native() / "elsewhere.csv", temp_.Native() / "bm.csv");
  EXPECT_EQ(Run(), 0);
  EXPECT_FALSE(fs::exists(temp_.Native() / "elsewhere.csv"));
  EXPECT_TRUE(stderr_.empty());
}

TEST_F(RpvMark, ConvertsThreeLineRecordsInOrder) {
  // Path, date-time, line number in; path, line number, date-time out. LF
  // alone also ends a line.
  Write("bm.ini",
        "C:\\text\\a.txt\r\n2004/05/06 9:05:03\r\n120\r\n"
        "/b, c.txt\n2005/01/02\n7\n");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Read("bm.csv"),
            "\"C:\\text\\a.txt\",\"120\",\"2004/05/06 9:05:03\",\"\",\"-1\",\"\"\r\n"
            "\"/b, c.txt\",\"7\",\"2005/01/02\",\"\",\"-1\",\"\"\r\n");
  EXPECT_EQ(Read("bm.ini").substr(0, 4), "C:\\t");  // left in place
  // A second run finds bm.csv and leaves it.
  Write("bm.ini", "/other\r\nd\r\n1\r\n");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Read("bm.csv").substr(0, 5), "\"C:\\t");
}

TEST_F(RpvMark, FlawedRecordsAreNamedAndLeftOutSoTheReaderLoadsTheRest) {
  Write("bm.ini", "");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Read("bm.csv"), "");

  struct Case {
    std::string input;
    int status;
    std::vector<std::string> says;  // on standard error
    int loaded;
  };
  const std::vector<Case> cases = {
      // Trailing blank lines are no record at all.
      {"/a\r\nd\r\n1\r\n\r\n\r\n", 0, {}, 1},
      // A partial last record, and a line number the reader refuses.
      {"/a\r\nd\r\n1\r\n/b\r\nd\r\n2\r\n/c\r\n", 65, {"line 7", "/c"}, 2},
      {"/a\r\nd\r\nabc\r\n/b\r\nd\r\n 2\r\n/c\r\nd\r\n3\r\n", 65, {"line 1", "line 4"}, 1},
      {"/a\r\nd\r\n99999999999\r\n", 65, {"line 1"}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    fs::remove(temp_.Native() / "bm.csv");
    Write("bm.ini", c.input);
    EXPECT_EQ(Run(), c.status);
    for (const std::string& text : c.says) EXPECT_NE(stderr_.find(text), std::string::npos) << stderr_;
    TBookMarks marks;
    EXPECT_NO_THROW(marks.LoadFromFile(FromNativePath(temp_.Native() / "bm.csv")));
    EXPECT_EQ(marks.Count(), c.loaded);
  }

  // A FIFO named bm.ini gets a message instead of a wait for a writer.
  fs::remove(temp_.Native() / "bm.csv");
  fs::remove(temp_.Native() / "bm.ini");
  ASSERT_EQ(::mkfifo((temp_.Native() / "bm.ini").c_str(), 0644), 0);
  EXPECT_EQ(Run(), EINVAL);
  EXPECT_NE(stderr_.find("not a regular file"), std::string::npos) << stderr_;
  EXPECT_FALSE(fs::exists(temp_.Native() / "bm.csv"));
}

TEST_F(RpvMark, OutputLoadsInTheStore) {
  const std::string hyo = Utf8ToCp932("表"), po = Utf8ToCp932("ポ");
  Write("bm.ini", "/dir, x/" + hyo + po + ".txt\r\n2004/05/06 9:05:03\r\n12\r\n" +
                      "/q\"uote\r\n2004/05/07\r\n-3\r\n");
  ASSERT_EQ(Run(), 0);
  TBookMarks marks;
  marks.LoadFromFile(FromNativePath(temp_.Native() / "bm.csv"));
  ASSERT_EQ(marks.Count(), 2);
  EXPECT_EQ(marks.Items(0)->FullPath, "/dir, x/" + hyo + po + ".txt");
  EXPECT_EQ(marks.Items(0)->Line, 12);
  EXPECT_EQ(marks.Items(0)->DateTime, "2004/05/06 9:05:03");
  EXPECT_EQ(marks.Items(0)->Comment, "");
  EXPECT_TRUE(marks.Items(0)->Visible);
  EXPECT_EQ(marks.Items(0)->Archive, "");
  EXPECT_EQ(marks.Items(1)->FullPath, "/q\"uote");
  EXPECT_EQ(marks.Items(1)->Line, -3);

}

TEST_F(RpvMark, FileErrorsReportTheCodeAndLeaveNoPartialOutput) {
  // bm.ini is a folder: it exists, but reading it fails.
  fs::create_directory(temp_.Native() / "bm.ini");
  EXPECT_EQ(Run(), EISDIR);
  EXPECT_EQ(stderr_.rfind("Error", 0), 0u) << stderr_;
  EXPECT_NE(stderr_.find(std::to_string(EISDIR)), std::string::npos) << stderr_;
  EXPECT_FALSE(fs::exists(temp_.Native() / "bm.csv"));
  fs::remove(temp_.Native() / "bm.ini");

  // The disk fills up while bm.csv is written: no partial bm.csv stays to
  // block a later run.
  std::string many;
  for (int i = 0; i < 50; ++i) many += "/file" + std::to_string(i) + "\r\nd\r\n1\r\n";
  Write("bm.ini", many);
  EXPECT_EQ(Run(100), EFBIG);
  EXPECT_NE(stderr_.find(std::to_string(EFBIG)), std::string::npos) << stderr_;
  EXPECT_EQ(FileCount(), 1u);  // only bm.ini
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Read("bm.csv").substr(0, 8), "\"/file0\"");
}
