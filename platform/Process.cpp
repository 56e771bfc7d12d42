#include "platform/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>

#include "platform/UniqueFd.h"

extern char** environ;

namespace rpv {
namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kChunk = 64 * 1024;

// A pipe whose both ends are close-on-exec and above the standard
// descriptors, so dup2 onto 0..2 in the child always makes a fresh copy.
bool MakePipe(UniqueFd& readEnd, UniqueFd& writeEnd) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return false;
  for (int& fd : fds) {
    if (fd <= 2) {
      const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
      ::close(fd);
      fd = moved;
    }
  }
  readEnd.reset(fds[0]);
  writeEnd.reset(fds[1]);
  return readEnd.valid() && writeEnd.valid();
}

void SetNonBlocking(int fd) { ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK); }

// Blocks SIGPIPE for this thread while the child's input is written, and
// swallows the one a broken pipe raised, so a child that exits without
// reading its input shows up only as EPIPE. The process-wide disposition is
// left alone.
class SigPipeBlock {
 public:
  SigPipeBlock() {
    sigemptyset(&pipeSet_);
    sigaddset(&pipeSet_, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    wasPending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipeSet_, &oldMask_);
  }
  ~SigPipeBlock() {
    if (!wasPending_) {
      const timespec zero{0, 0};
      while (sigtimedwait(&pipeSet_, nullptr, &zero) == SIGPIPE) {
      }
    }
    pthread_sigmask(SIG_SETMASK, &oldMask_, nullptr);
  }
  SigPipeBlock(const SigPipeBlock&) = delete;
  SigPipeBlock& operator=(const SigPipeBlock&) = delete;

 private:
  sigset_t pipeSet_{};
  sigset_t oldMask_{};
  bool wasPending_ = false;
};

// Owns the child's pid: whatever happens, the child is reaped (killed first
// if it is still running when the runner is left by an exception).
class Child {
 public:
  explicit Child(pid_t pid) : pid_(pid) {}
  ~Child() {
    if (reaped_) return;
    Kill();
    int status;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // The child and whatever it started (its process group).
  void Kill() const {
    ::kill(-pid_, SIGKILL);
    ::kill(pid_, SIGKILL);
  }

  // True once the child has ended; its exit code is then in exitCode.
  bool Poll(bool block) {
    if (reaped_) return true;
    int status = 0;
    pid_t r;
    do {
      r = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == 0) return false;
    reaped_ = true;
    if (r > 0) {
      exitCode = WIFEXITED(status)     ? WEXITSTATUS(status)
                 : WIFSIGNALED(status) ? 128 + WTERMSIG(status)
                                       : 0;
    }
    return true;
  }

  int exitCode = 0;

 private:
  pid_t pid_;
  bool reaped_ = false;
};

class SpawnSetup {
 public:
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
  posix_spawn_file_actions_t actions{};
  posix_spawnattr_t attr{};
};

// Reads what is available without blocking, at most maxChunks reads so a
// child that writes without pause cannot starve the tick; false once the
// pipe has ended.
bool Drain(UniqueFd& fd, std::string* sink, int maxChunks) {
  std::array<char, kChunk> buf;
  for (int i = 0; i < maxChunks; ++i) {
    const ssize_t r = ::read(fd.get(), buf.data(), buf.size());
    if (r > 0) {
      if (sink) sink->append(buf.data(), static_cast<size_t>(r));
      continue;
    }
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    fd.reset();  // end of data or a read error
    return false;
  }
  return true;
}

constexpr int kChunksPerTurn = 16;
constexpr int kAll = 1 << 30;

// Whole milliseconds from now until the deadline, rounded up, never negative.
int MsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

std::optional<ProcessResult> RunProcess(const std::vector<std::string>& argv,
                                        std::string_view input, const std::function<void()>& onTick,
                                        int tickMs, const ProcessLimits& limits) {
  const auto started = Clock::now();
  if (argv.empty() || argv.front().empty()) return std::nullopt;

  UniqueFd inRead, inWrite, outRead, outWrite, errRead, errWrite;
  if (!MakePipe(inRead, inWrite) || !MakePipe(outRead, outWrite) || !MakePipe(errRead, errWrite)) {
    return std::nullopt;
  }

  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  pid_t pid = -1;
  {
    SpawnSetup setup;
    posix_spawn_file_actions_adddup2(&setup.actions, inRead.get(), 0);
    posix_spawn_file_actions_adddup2(&setup.actions, outWrite.get(), 1);
    posix_spawn_file_actions_adddup2(&setup.actions, errWrite.get(), 2);
    // The child starts with nothing blocked and SIGPIPE at its default, as a
    // program started from a shell does, whatever this process has set.
    sigset_t none, pipeOnly;
    sigemptyset(&none);
    sigemptyset(&pipeOnly);
    sigaddset(&pipeOnly, SIGPIPE);
    posix_spawnattr_setsigmask(&setup.attr, &none);
    posix_spawnattr_setsigdefault(&setup.attr, &pipeOnly);
    // A group of its own, so a limit stops a pipeline ("sh -c 'yes | cat'")
    // and not only its first program.
    posix_spawnattr_setpgroup(&setup.attr, 0);
    posix_spawnattr_setflags(&setup.attr,
                             POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    // glibc reports a program that cannot be executed here (ENOENT, EACCES),
    // not as an exit status of the child.
    if (posix_spawnp(&pid, args[0], &setup.actions, &setup.attr, args.data(), environ) != 0) {
      return std::nullopt;
    }
  }
  Child child(pid);
  inRead.reset();
  outWrite.reset();
  errWrite.reset();
  SetNonBlocking(inWrite.get());
  SetNonBlocking(outRead.get());
  SetNonBlocking(errRead.get());

  SigPipeBlock sigPipeBlock;
  ProcessResult result;
  size_t written = 0;
  if (input.empty()) inWrite.reset();
  auto lastTick = Clock::now();
  const auto tickEvery = std::chrono::milliseconds(tickMs);

  while (inWrite.valid() || outRead.valid() || errRead.valid()) {
    std::array<pollfd, 3> fds{};
    nfds_t count = 0;
    int inIx = -1, outIx = -1, errIx = -1;
    auto watch = [&](const UniqueFd& fd, short events, int& index) {
      if (!fd.valid()) return;
      index = static_cast<int>(count);
      fds[count++] = {fd.get(), events, 0};
    };
    watch(inWrite, POLLOUT, inIx);
    watch(outRead, POLLIN, outIx);
    watch(errRead, POLLIN, errIx);

    int waitMs = MsUntil(lastTick + tickEvery);
    if (limits.time.count() > 0) waitMs = std::min(waitMs, MsUntil(started + limits.time));
    const int r = ::poll(fds.data(), count, waitMs);
    if (r < 0 && errno != EINTR) {
      // Closing every pipe lets the child see the end instead of waiting on us.
      inWrite.reset();
      outRead.reset();
      errRead.reset();
      break;
    }

    if (r > 0 && inIx >= 0 && fds[inIx].revents != 0) {
      if (fds[inIx].revents & POLLOUT) {
        const size_t n = std::min(kChunk, input.size() - written);
        const ssize_t w = ::write(inWrite.get(), input.data() + written, n);
        if (w > 0) {
          written += static_cast<size_t>(w);
        } else if (w < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
          inWrite.reset();  // EPIPE: the child will read no more
        }
        if (written == input.size()) inWrite.reset();  // the child sees the end
      } else {
        inWrite.reset();  // the child closed its end
      }
    }
    if (r > 0 && outIx >= 0 && fds[outIx].revents != 0) {
      Drain(outRead, &result.output, kChunksPerTurn);
    }
    if (r > 0 && errIx >= 0 && fds[errIx].revents != 0) Drain(errRead, nullptr, kChunksPerTurn);

    const bool overTime = limits.time.count() > 0 && Clock::now() - started >= limits.time;
    const bool overSize = limits.output > 0 && result.output.size() > limits.output;
    if (overTime || overSize) {
      result.stopped = overSize ? ProcessResult::TStop::Output : ProcessResult::TStop::Time;
      if (overSize) result.output.resize(limits.output);
      child.Kill();
      inWrite.reset();
      outRead.reset();
      errRead.reset();
      break;
    }

    if (Clock::now() - lastTick >= tickEvery) {
      if (onTick) onTick();
      lastTick = Clock::now();
      // A child that has ended may have left a descendant holding the pipes
      // open: keep what is already in them and stop there.
      if (child.Poll(false)) {
        if (outRead.valid()) Drain(outRead, &result.output, kAll);
        break;
      }
    }
  }

  // The pipes are done; wait for the child itself, still ticking. It has
  // usually closed its output just before ending, so look again soon at
  // first and less often later.
  int napMs = 1;
  while (!child.Poll(false)) {
    if (limits.time.count() > 0 && Clock::now() - started >= limits.time) {
      // Closed its output but goes on running.
      if (result.stopped == ProcessResult::TStop::None) result.stopped = ProcessResult::TStop::Time;
      child.Kill();
      child.Poll(true);
      break;
    }
    ::poll(nullptr, 0, std::min(napMs, MsUntil(lastTick + tickEvery)));
    napMs = std::min(napMs * 2, 20);
    if (Clock::now() - lastTick >= tickEvery) {
      if (onTick) onTick();
      lastTick = Clock::now();
    }
  }
  result.exitCode = child.exitCode;
  return result;
}

}  // namespace rpv
