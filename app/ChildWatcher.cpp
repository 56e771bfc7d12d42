#include "app/ChildWatcher.h"

#include <QTimer>
#include <algorithm>

#include "platform/DetachedProcess.h"

namespace rpv {
namespace {
// A finished editor stays a zombie at most this long.
constexpr int kReapIntervalMs = 500;
}  // namespace

TChildWatcher::TChildWatcher(QObject* parent) : QObject(parent), timer_(new QTimer(this)) {
  timer_->setInterval(kReapIntervalMs);
  connect(timer_, &QTimer::timeout, this, [this] { ReapEnded(); });
}

// Those still running are left to run; when the reader ends they pass to
// init, which reaps them.
TChildWatcher::~TChildWatcher() { ReapEnded(); }

TChildWatcher* TChildWatcher::Of(QObject* owner, bool create) {
  // Found by type at run time: the class has no meta-object of its own for
  // findChild to tell it apart by.
  for (QObject* child : owner->children())
    if (auto* watcher = dynamic_cast<TChildWatcher*>(child)) return watcher;
  return create ? new TChildWatcher(owner) : nullptr;
}

void TChildWatcher::Watch(pid_t pid) {
  pending_.push_back(pid);
  timer_->start();
}

void TChildWatcher::ReapEnded() {
  std::erase_if(pending_, [](pid_t pid) { return ReapIfEnded(pid); });
  if (pending_.empty()) timer_->stop();
}

}  // namespace rpv
