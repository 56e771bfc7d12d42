#include "app/BookLoader.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

#include "app/ProgressPanel.h"
#include "app/QtText.h"

namespace rpv {
namespace {

// How often the window's loop looks whether the worker has finished.
constexpr int kPollMs = 10;

}  // namespace

TBookLoader::TBookLoader(QWidget* page)
    : panel_(new TProgressPanel(page, QStringLiteral("pnlLoading"), [this] { Cancel(); })),
      waker_(std::make_unique<QObject>()) {
  // How far a read has got is not known: a busy bar.
  panel_->SetProgress(-1);
}

TBookLoader::~TBookLoader() {
  for (TWorker& w : workers_) {
    w.Job->Cancelled = true;
    w.Thread.join();
  }
}

QWidget* TBookLoader::Panel() const { return panel_; }

void TBookLoader::Cancel() {
  if (job_) job_->Cancelled = true;
}

std::optional<TBookText> TBookLoader::Read(const std::string& path,
                                          const std::vector<TTool>& tools,
                                          const ProcessLimits& limits) {
  // Cancelled reads that have finished meanwhile are joined now.
  std::erase_if(workers_, [](TWorker& w) {
    if (!w.Job->Finished()) return false;
    w.Thread.join();
    return true;
  });
  auto job = std::make_shared<TJob>();
  job_ = job;
  QObject* waker = waker_.get();
  std::thread thread([this, job, path, tools, limits, waker] {
    try {
      job->Result = TBookClass::ReadBookText(path, tools, &job->Cancelled, limits);
    } catch (...) {
      job->Error = std::current_exception();
    }
    job->Done.store(true, std::memory_order_release);
    // Wakes the window's loop at once rather than at its next look. The
    // waker outlives every worker (the destructor joins them first).
    QMetaObject::invokeMethod(waker, [this] { if (loop_ != nullptr && (!job_ || job_->Finished())) loop_->quit(); },
                              Qt::QueuedConnection);
  });
  workers_.push_back(TWorker{std::move(thread), job});

  panel_->SetText(QStringLiteral("読み込み中: %1").arg(QFileInfo(ToQString(path)).fileName()));
  QEventLoop loop;
  QTimer poll;
  poll.setInterval(kPollMs);
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (job->Finished() || job->Cancelled) loop.quit();
  });
  QTimer::singleShot(kPanelDelayMs, &loop, [this] { panel_->ShowCentred(); });
  if (!job->Finished()) {
    poll.start();
    loop_ = &loop;
    loop.exec();
    loop_ = nullptr;
  }
  panel_->hide();
  job_.reset();
  if (!job->Finished()) {
    // Given up (or the program is quitting): the thread finishes by itself
    // and is joined later; its result is dropped.
    job->Cancelled = true;
    return std::nullopt;
  }
  workers_.back().Thread.join();
  workers_.pop_back();
  if (job->Cancelled) return std::nullopt;
  if (job->Error) std::rethrow_exception(job->Error);
  return std::move(job->Result);
}

}  // namespace rpv
