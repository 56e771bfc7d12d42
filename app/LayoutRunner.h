// Lays a document out on a worker thread while the window goes on: the
// window asks for the page it wants and shows it as soon as the lines up
// to it exist, while the rest of the book follows in the background. A
// command that needs lines not yet made waits for them (Wait) with a
// progress panel over the page, which Esc or its button gives up.
//
// The job (TLayoutJob) makes its lines in batches on the worker; finished
// batches wait in a queue under a mutex, and the window's thread moves them
// into the document when told (a queued call on the window's thread). The
// document's tables are therefore only ever touched by the window's thread;
// the worker reads nothing of the document but its file text, which the
// window leaves alone while a layout runs (Cancel first).
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "render/BookClass.h"

class QWidget;

namespace rpv {

class TProgressPanel;

class TLayoutRunner {
 public:
  // linesArrived runs on the window's thread whenever batches are waiting
  // for Deliver. The progress panel is a child of `page`.
  TLayoutRunner(QWidget* page, std::function<void()> linesArrived);
  // Cancels a running layout and waits for its thread.
  ~TLayoutRunner();
  TLayoutRunner(const TLayoutRunner&) = delete;
  TLayoutRunner& operator=(const TLayoutRunner&) = delete;

  // Empties the document's line tables and starts laying it out afresh (a
  // layout still running is cancelled first). An HTML document is
  // converted here, on the caller's thread; its lines are laid out on the
  // worker like any other.
  void Start(TBookClass& book);
  // Stops the layout and waits for its thread (a batch takes milliseconds).
  // The document keeps the lines delivered so far, LayoutComplete false.
  void Cancel();
  // Moves the batches that are ready into the document; true when any were.
  bool Deliver(TBookClass& book);
  // Whether a layout is under way (lines still to come).
  bool Running() const { return running_; }
  // The share of the book laid out, 0 to 1.
  double Progress() const { return progress_.load(std::memory_order_relaxed); }

  // Processes the window's events until ready() holds (checked after each
  // delivery), the layout ends or is restarted, or the wait is given up.
  // True when ready() holds. One wait at a time: a second gives false.
  bool Wait(const std::function<bool()>& ready);
  bool Waiting() const { return waiting_; }
  // Gives up the wait in progress (the layout goes on).
  void StopWaiting() { stopWaiting_ = true; }
  // The progress panel: shown after a moment while the window waits for a
  // page (Wait, or the first page of a layout), hidden with false.
  void ShowProgress(bool show);
  QWidget* Panel() const;
  // How long a wait may take before the panel appears.
  static constexpr int kPanelDelayMs = 200;

  // Threads a layout uses (the worker counted); 0: the machine's cores.
  int Threads = 0;

 private:
  struct TBatch {
    TLines Display;
    bool Last = false;
  };
  void Work(std::unique_ptr<TLayoutJob> job, std::unique_ptr<TLines> old);
  void UpdatePanel();

  QWidget* page_;
  TProgressPanel* panel_;
  bool panelWanted_ = false;
  uint64_t generation_ = 0;  // counts layouts started, so a wait sees a restart
  bool waiting_ = false;
  bool stopWaiting_ = false;
  std::function<void()> linesArrived_;
  std::thread thread_;
  std::atomic<bool> cancel_{false};
  std::atomic<double> progress_{0.0};
  bool running_ = false;  // the window's thread's view
  std::mutex mutex_;      // guards ready_ and notified_
  std::vector<TBatch> ready_;
  bool notified_ = false;  // a call to linesArrived is on its way
};

}  // namespace rpv
