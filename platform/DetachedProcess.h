// Starting a program the reader does not wait for (the external editor),
// and reaping it later without blocking.
//
// No SIGCHLD handler and no waitpid(-1): the filters of RunProcess and Qt
// wait for their own children by pid, and a process-wide handler or "any
// child" wait would steal their exit statuses. The caller instead asks
// ReapIfEnded(pid) now and then (the window does so on a timer) until it
// answers true; a finished editor is a zombie only until the next ask.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace rpv {

// Starts argv[0] (a path; PATH is not searched) with argv, standard input
// from /dev/null, standard output and error inherited, in a session of its
// own so a terminal's Ctrl+C for the reader does not reach it. No shell is
// involved. The child's pid, or -1 when it cannot be started (not found,
// not executable, empty argv).
pid_t SpawnDetached(const std::vector<std::string>& argv);

// True once the child has ended and has been reaped (or is no child of
// this process); false while it runs. Never blocks.
bool ReapIfEnded(pid_t pid);

}  // namespace rpv
