#pragma once
// A platform's own instance lock (frontends/posix, frontends/windows) as the
// launcher's start sees it: both have Acquire's Attempt and ServeRequests.
#include <memory>
#include <utility>

#include "app/host.h"

namespace host {

template <typename Lock>
class HeldLock : public GameDirectoryLock {
 public:
  explicit HeldLock(std::unique_ptr<Lock> lock) : lock_(std::move(lock)) {}
  void ServeRequests(std::function<void()> onRequest) override { lock_->ServeRequests(std::move(onRequest)); }

 private:
  std::unique_ptr<Lock> lock_;
};

template <typename Lock>
LockAttempt Adopt(typename Lock::Attempt taken) {
  LockAttempt attempt;
  if (taken.lock) attempt.lock = std::make_unique<HeldLock<Lock>>(std::move(taken.lock));
  attempt.heldElsewhere = taken.heldElsewhere;
  attempt.problem = std::move(taken.problem);
  return attempt;
}

}  // namespace host
