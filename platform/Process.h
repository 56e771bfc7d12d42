// Running a child program as a filter: input on its standard input, its
// standard output collected.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rpv {

// Bounds of one run; zero means none.
struct ProcessLimits {
  std::chrono::milliseconds time{0};  // from the start to the child's end
  size_t output = 0;                  // bytes of standard output kept
};

struct ProcessResult {
  std::string output;  // everything the child wrote to standard output
  int exitCode = 0;    // the exit status, or 128 + signal number when killed
  // Which limit ended the run: the child (and its process group) was then
  // killed, and output holds what came before.
  enum class TStop { None, Time, Output } stopped = TStop::None;
};

// Starts argv[0] (searched in PATH unless it contains "/") with the given
// arguments, writes input to its standard input and then closes it, and
// collects standard output until the child has ended; standard error is
// read and thrown away. Input is fed and both outputs are drained at the
// same time, so no output size and no order of reading and writing can
// deadlock. onTick runs about every tickMs milliseconds while the child
// runs. nullopt when the program cannot be started (not found, not
// executable, empty argv). A child that stops reading early does not raise
// SIGPIPE in the caller. The child is always reaped, even when onTick throws
// (a caller cancels that way). The child leads a process group of its own,
// which is killed when a limit is reached or onTick throws.
std::optional<ProcessResult> RunProcess(const std::vector<std::string>& argv,
                                        std::string_view input,
                                        const std::function<void()>& onTick = {}, int tickMs = 50,
                                        const ProcessLimits& limits = {});

}  // namespace rpv
