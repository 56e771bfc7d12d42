#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/CommandLine.h"
#include "platform/Process.h"

using namespace rpv;

namespace {

std::vector<std::string> Sh(const std::string& script) { return {"sh", "-c", script}; }

std::set<int> OpenFds() {
  std::set<int> fds;
  for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
    fds.insert(std::stoi(e.path().filename().string()));
  }
  return fds;
}

bool NoChildrenLeft() {
  int status;
  return ::waitpid(-1, &status, WNOHANG) == -1 && errno == ECHILD;
}

}  // namespace

TEST(CommandLine, SplitsLikeAShellWithoutExpanding) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitCommandLine("  sed  -e s/a/b/\tfile "), (V{"sed", "-e", "s/a/b/", "file"}));
  EXPECT_EQ(SplitCommandLine("a 'b c' \"d \\\"e\\\" \\n\" f\\ g"),
            (V{"a", "b c", "d \"e\" \\n", "f g"}));
  EXPECT_EQ(SplitCommandLine("x'y'\"z\" '' $HOME *"), (V{"xyz", "", "$HOME", "*"}));
  EXPECT_EQ(SplitCommandLine("a 'open"), (V{"a", "open"}));
  EXPECT_EQ(SplitCommandLine("   "), V{});
  EXPECT_EQ(SplitCommandLine("/opt/日本語/tool -x"), (V{"/opt/日本語/tool", "-x"}));
}

TEST(Process, FeedsAndCollectsAnySize) {
  const auto fdsBefore = OpenFds();

  std::string input;
  for (int i = 0; i < 200000; ++i) input += "line " + std::to_string(i) + "\n";
  auto cat = RunProcess({"cat"}, input);
  ASSERT_TRUE(cat.has_value());
  EXPECT_EQ(cat->output, input);
  EXPECT_EQ(cat->exitCode, 0);

  // 50 MB of output from a child that never reads its input.
  auto big = RunProcess({"head", "-c", "52428800", "/dev/zero"}, "ignored");
  ASSERT_TRUE(big.has_value());
  EXPECT_EQ(big->output.size(), 52428800u);

  // A child that writes a lot before it reads: neither side may wait on the
  // other.
  const std::string twoMb(2 * 1024 * 1024, 'i');
  auto early = RunProcess(Sh("head -c 3000000 /dev/zero; cat"), twoMb);
  ASSERT_TRUE(early.has_value());
  ASSERT_EQ(early->output.size(), 3000000u + twoMb.size());
  EXPECT_EQ(early->output.substr(3000000), twoMb);

  // A child that exits at once without reading 50 MB of input: the broken
  // pipe must not kill this process, and no SIGPIPE may be left behind.
  const std::string fifty(52428800, 'x');
  auto quitter = RunProcess(Sh("printf done; exit 3"), fifty);
  ASSERT_TRUE(quitter.has_value());
  EXPECT_EQ(quitter->output, "done");
  EXPECT_EQ(quitter->exitCode, 3);
  sigset_t pending, mask;
  sigpending(&pending);
  pthread_sigmask(SIG_SETMASK, nullptr, &mask);
  EXPECT_FALSE(sigismember(&pending, SIGPIPE));
  EXPECT_FALSE(sigismember(&mask, SIGPIPE));

  // Standard error is drained but not mixed into the result.
  auto err = RunProcess(Sh("head -c 1000000 /dev/zero >&2; echo out"), "");
  ASSERT_TRUE(err.has_value());
  EXPECT_EQ(err->output, "out\n");

  EXPECT_EQ(OpenFds(), fdsBefore);
  EXPECT_TRUE(NoChildrenLeft());
}

TEST(Process, ProgramsThatCannotStart) {
  const auto fdsBefore = OpenFds();
  EXPECT_FALSE(RunProcess({"rpv-no-such-program-here"}, "x").has_value());
  EXPECT_FALSE(RunProcess({"/nonexistent/dir/prog"}, "x").has_value());
  EXPECT_FALSE(RunProcess({}, "x").has_value());
  EXPECT_FALSE(RunProcess({""}, "x").has_value());
  // A folder and a file without execute permission cannot be started either.
  EXPECT_FALSE(RunProcess({"/tmp"}, "x").has_value());
  const auto plain =
      std::filesystem::temp_directory_path() / ("rpv_not_executable_" + std::to_string(::getpid()));
  { std::ofstream(plain) << "echo hi\n"; }
  EXPECT_FALSE(RunProcess({plain.string()}, "x").has_value());
  std::filesystem::remove(plain);
  EXPECT_EQ(OpenFds(), fdsBefore);
  EXPECT_TRUE(NoChildrenLeft());
}

TEST(Process, TicksWhileTheChildRunsAndStopsAtItsEnd) {
  int ticks = 0;
  auto slow = RunProcess({"sleep", "0.3"}, "", [&] { ++ticks; });
  ASSERT_TRUE(slow.has_value());
  EXPECT_GE(ticks, 2);
  EXPECT_LE(ticks, 8);

  // A child that leaves a background process holding the output pipe: its
  // own output is kept and the runner returns when the child itself ends.
  auto orphan = RunProcess(Sh("sleep 30 & echo $!"), "");
  ASSERT_TRUE(orphan.has_value());
  const int grandchild = std::stoi(orphan->output);
  EXPECT_GT(grandchild, 0);
  ::kill(grandchild, SIGTERM);
  EXPECT_TRUE(NoChildrenLeft());
}

TEST(Process, ChildGetsOnlyStandardHandlesAndDefaultSigpipe) {
  const auto parentFds = OpenFds();
  struct sigaction ignore {
  }, old{};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, &old);
  auto r = RunProcess(Sh("ls /proc/$$/fd; grep SigIgn /proc/$$/status"), "");
  sigaction(SIGPIPE, &old, nullptr);
  ASSERT_TRUE(r.has_value());

  std::istringstream lines(r->output);
  std::string line;
  unsigned long long ignored = ~0ULL;
  while (std::getline(lines, line)) {
    if (line.rfind("SigIgn:", 0) == 0) {
      ignored = std::stoull(line.substr(7), nullptr, 16);
    } else if (!line.empty()) {
      const int fd = std::stoi(line);
      // Anything beyond 0..2 can only be something the test runner itself
      // passed down, never one of the runner's pipes.
      EXPECT_TRUE(fd <= 2 || parentFds.count(fd)) << fd;
    }
  }
  EXPECT_EQ(ignored & (1ULL << (SIGPIPE - 1)), 0u);
}
