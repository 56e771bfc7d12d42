// Reads a book on a worker thread while the window goes on painting. Past
// a short delay a panel over the page says which file is being read, with a
// busy bar and a cancel button (Esc cancels too); a cancelled read leaves
// the document as it was. Reading and filtering touch no document
// (TBookClass::ReadBookText), so nothing is shared with the window's thread
// but the finished text.
#pragma once

#include <QString>
#include <atomic>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "render/BookClass.h"

class QEventLoop;
class QObject;
class QWidget;

namespace rpv {

class TProgressPanel;

class TBookLoader {
 public:
  // The panel is a child of `page`, shown over it while a read runs long.
  explicit TBookLoader(QWidget* page);
  // Waits for reads that were cancelled but are still running.
  ~TBookLoader();
  TBookLoader(const TBookLoader&) = delete;
  TBookLoader& operator=(const TBookLoader&) = delete;

  // Reads the file and runs the tools over it, processing the window's
  // events meanwhile; nullopt when cancelled. Read errors are rethrown here.
  // A filter that runs past the limits is stopped (the text then unfiltered).
  std::optional<TBookText> Read(const std::string& path, const std::vector<TTool>& tools,
                                const ProcessLimits& limits);
  // Gives up the read in progress (its thread finishes on its own).
  void Cancel();
  bool Busy() const { return job_ != nullptr; }
  // The progress panel (for tests and screenshots).
  QWidget* Panel() const;

  // How long a read may take before the panel appears.
  static constexpr int kPanelDelayMs = 200;

 private:
  // Result and Error belong to the worker until it sets Done (release);
  // the window's thread reads them only after seeing Done (acquire).
  struct TJob {
    std::atomic<bool> Done{false};
    std::atomic<bool> Cancelled{false};
    std::optional<TBookText> Result;
    std::exception_ptr Error;
    bool Finished() const { return Done.load(std::memory_order_acquire); }
  };

  struct TWorker {
    std::thread Thread;
    std::shared_ptr<TJob> Job;
  };

  TProgressPanel* panel_;
  // Context of the worker's "done" call to the window's thread; the loop
  // of the read in progress, which that call ends.
  std::unique_ptr<QObject> waker_;
  QEventLoop* loop_ = nullptr;
  std::shared_ptr<TJob> job_;
  std::vector<TWorker> workers_;
};

}  // namespace rpv
