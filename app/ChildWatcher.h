// Reaps the programs the window started without waiting for them (the
// external editor): a timer asks each one now and then whether it has
// ended, so none lingers as a zombie, and stops when none is left.
#pragma once

#include <QObject>
#include <sys/types.h>

#include <vector>

class QTimer;

namespace rpv {

class TChildWatcher : public QObject {
 public:
  explicit TChildWatcher(QObject* parent);
  ~TChildWatcher() override;

  // The watcher among owner's children, made on first use (nullptr when
  // create is false and there is none yet).
  static TChildWatcher* Of(QObject* owner, bool create);

  // Watches a child started by SpawnDetached.
  void Watch(pid_t pid);
  // The children not reaped yet.
  const std::vector<pid_t>& Pending() const { return pending_; }
  // Reaps every child that has ended (never blocks).
  void ReapEnded();

 private:
  QTimer* timer_;
  std::vector<pid_t> pending_;
};

}  // namespace rpv
