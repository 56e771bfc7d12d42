// A few threads kept for the life of a layout, to which one task at a time
// is handed as "do parts 0 .. n-1": the caller's thread takes part of the
// work itself and returns when every part is done. Layout wraps the
// paragraphs of each batch this way; since each part writes only its own
// output, the result does not depend on how many threads there are.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace rpv {

class TWorkerPool {
 public:
  // `threads` counts the caller: 1 (or less) starts no thread at all.
  explicit TWorkerPool(int threads);
  ~TWorkerPool();
  TWorkerPool(const TWorkerPool&) = delete;
  TWorkerPool& operator=(const TWorkerPool&) = delete;

  // The threads that share a task, the caller included.
  int Threads() const { return static_cast<int>(threads_.size()) + 1; }
  // Runs part(k) for every k in [0, parts), spread over the threads, and
  // returns when all are done. The first exception a part throws is
  // rethrown here after the others finished.
  void Run(int parts, const std::function<void(int)>& part);

  // The threads to use when the caller does not say: the machine's cores,
  // at most 8 (wrapping does not scale further for a book).
  static int DefaultThreads();

 private:
  void Work();
  // Takes parts until none is left; the mutex is held on entry and exit.
  void TakeParts(std::unique_lock<std::mutex>& lock);

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  const std::function<void(int)>* part_ = nullptr;
  int parts_ = 0;
  int next_ = 0;       // the next part to hand out
  int running_ = 0;    // parts handed out and not yet finished
  uint64_t task_ = 0;  // counts tasks, so a thread takes each only once
  bool stopping_ = false;
  std::exception_ptr error_;
  std::vector<std::thread> threads_;
};

}  // namespace rpv
