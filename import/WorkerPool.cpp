#include "import/WorkerPool.h"

#include <algorithm>
#include <utility>

namespace rpv {

TWorkerPool::TWorkerPool(int threads) {
  for (int k = 1; k < threads; ++k) threads_.emplace_back([this] { Work(); });
}

TWorkerPool::~TWorkerPool() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : threads_) t.join();
}

int TWorkerPool::DefaultThreads() {
  const unsigned cores = std::thread::hardware_concurrency();
  return static_cast<int>(std::clamp(cores, 1U, 8U));
}

void TWorkerPool::Run(int parts, const std::function<void(int)>& part) {
  if (parts <= 0) return;
  if (threads_.empty() || parts == 1) {
    for (int k = 0; k < parts; ++k) part(k);
    return;
  }
  std::unique_lock<std::mutex> lock(mutex_);
  part_ = &part;
  parts_ = parts;
  next_ = 0;
  error_ = nullptr;
  ++task_;
  wake_.notify_all();
  TakeParts(lock);
  done_.wait(lock, [this] { return next_ >= parts_ && running_ == 0; });
  part_ = nullptr;
  if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

void TWorkerPool::TakeParts(std::unique_lock<std::mutex>& lock) {
  while (next_ < parts_) {
    const int k = next_++;
    ++running_;
    const std::function<void(int)>& part = *part_;
    lock.unlock();
    std::exception_ptr error;
    try {
      part(k);
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    if (error && !error_) error_ = error;
    --running_;
  }
  if (running_ == 0) done_.notify_all();
}

void TWorkerPool::Work() {
  uint64_t seen = 0;
  std::unique_lock<std::mutex> lock(mutex_);
  while (true) {
    wake_.wait(lock, [&] { return stopping_ || (task_ != seen && part_ != nullptr); });
    if (stopping_) return;
    seen = task_;
    TakeParts(lock);
  }
}

}  // namespace rpv
