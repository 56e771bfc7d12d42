#include "app/LayoutRunner.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <utility>

#include "app/ProgressPanel.h"
#include "import/LayoutJob.h"

namespace rpv {

namespace {

// The first batch is small, so the first page comes at once; later ones
// grow, so the rest costs little in hand-overs.
constexpr int32_t kFirstBatch = 64;
constexpr int32_t kLargestBatch = 8192;

}  // namespace

TLayoutRunner::TLayoutRunner(QWidget* page, std::function<void()> linesArrived)
    : page_(page),
      panel_(new TProgressPanel(page, QStringLiteral("pnlLayout"), [this] { StopWaiting(); })),
      linesArrived_(std::move(linesArrived)) {
  panel_->SetText(QStringLiteral("ページを組んでいます"));
}

TLayoutRunner::~TLayoutRunner() { Cancel(); }

QWidget* TLayoutRunner::Panel() const { return panel_; }

void TLayoutRunner::Start(TBookClass& book) {
  Cancel();
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    ready_.clear();
  }
  cancel_.store(false);
  ++generation_;
  progress_.store(0.0, std::memory_order_relaxed);
  // The old lines are freed on the worker, after its first batch: freeing a
  // big book's tables would hold the window's thread up for a while.
  auto old = std::make_unique<TLines>(std::move(book.DisplayLines));
  std::unique_ptr<TLayoutJob> job = book.StartLayout(Threads);
  running_ = true;
  thread_ = std::thread([this, job = std::move(job), old = std::move(old)]() mutable {
    Work(std::move(job), std::move(old));
  });
}

void TLayoutRunner::Cancel() {
  cancel_.store(true);
  if (thread_.joinable()) thread_.join();
  running_ = false;
  // Batches of a cancelled layout never reach a document: the next layout
  // starts from empty tables.
  const std::lock_guard<std::mutex> lock(mutex_);
  ready_.clear();
}

void TLayoutRunner::Work(std::unique_ptr<TLayoutJob> job, std::unique_ptr<TLines> old) {
  int32_t batch = kFirstBatch;
  bool more = true;
  while (more && !cancel_.load(std::memory_order_relaxed)) {
    TBatch b;
    more = job->Step(batch, b.Display);
    b.Last = !more;
    batch = std::min(batch * 2, kLargestBatch);
    progress_.store(job->Progress(), std::memory_order_relaxed);
    bool notify = false;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      ready_.push_back(std::move(b));
      notify = !std::exchange(notified_, true);
    }
    // One call on its way is enough: Deliver takes all that is waiting.
    if (notify) QMetaObject::invokeMethod(page_, linesArrived_, Qt::QueuedConnection);
    old.reset();
  }
  // The job's lines and threads go here, on the worker, not on the window's
  // thread.
  job.reset();
}

bool TLayoutRunner::Deliver(TBookClass& book) {
  std::vector<TBatch> batches;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    batches.swap(ready_);
    notified_ = false;
  }
  if (!running_) return false;
  for (TBatch& b : batches) {
    book.AddLayout(b.Display, b.Last);
    if (b.Last) {
      running_ = false;
      if (thread_.joinable()) thread_.join();
    }
  }
  UpdatePanel();
  return !batches.empty();
}

void TLayoutRunner::ShowProgress(bool show) {
  panelWanted_ = show;
  if (!show) {
    panel_->hide();
    return;
  }
  const uint64_t generation = generation_;
  QTimer::singleShot(kPanelDelayMs, panel_, [this, generation] {
    if (!panelWanted_ || generation != generation_ || !running_) return;
    panel_->SetProgress(static_cast<int>(Progress() * 100));
    // Only a command's wait can be given up; the page a layout was started
    // for is the reader's place and comes in any case.
    panel_->ShowCentred(waiting_);
  });
}

void TLayoutRunner::UpdatePanel() {
  if (!running_) panel_->hide();
  if (!panel_->isHidden()) panel_->SetProgress(static_cast<int>(Progress() * 100));
}

bool TLayoutRunner::Wait(const std::function<bool()>& ready) {
  if (ready()) return true;
  if (waiting_ || !running_) return false;
  waiting_ = true;
  stopWaiting_ = false;
  const uint64_t generation = generation_;
  ShowProgress(true);
  while (!ready() && running_ && generation == generation_ && !stopWaiting_) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  ShowProgress(false);
  waiting_ = false;
  return generation == generation_ && ready();
}

}  // namespace rpv
