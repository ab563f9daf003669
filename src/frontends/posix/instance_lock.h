#pragma once
// One launcher per game directory. The lock is an abstract unix socket
// named after the directory's real path: the kernel releases it with the
// process however the process ends (a crash or kill -9 leaves nothing
// behind), and a second start reaches the first through it to ask it to
// come forward. Programs the launcher starts do not inherit it.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "frontends/posix/owned_fd.h"

namespace frontends::posix {

class InstanceLock {
 public:
  struct Attempt;

  // Takes the lock of the current directory. When another process holds
  // it, that process is asked to come forward and the lock is tried again
  // for up to `patience`: a restarted launcher so waits for its predecessor
  // to end.
  static Attempt Acquire(std::chrono::milliseconds patience);

  // Releases the lock; waits for the thread serving requests.
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // From now on `onRequest` runs, on a thread of the lock's own, whenever a
  // later start asks this launcher to come forward. Once only.
  void ServeRequests(std::function<void()> onRequest);

 private:
  explicit InstanceLock(OwnedFd socket) : socket_(std::move(socket)) {}

  OwnedFd socket_;
  std::thread server_;
};

struct InstanceLock::Attempt {
  std::unique_ptr<InstanceLock> lock;  // null when not taken
  bool heldElsewhere = false;          // another launcher runs here
  std::string problem;                 // why there is no lock
};

}  // namespace frontends::posix
