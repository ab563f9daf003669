#pragma once
// One launcher per game directory: a lock on one file inside the directory
// (farLaunch.lock) that the system releases with the process however it
// ends, and that no program the launcher starts inherits. Beside it, a
// channel through which a second start asks the first to come forward.
// frontends/posix (flock and an abstract unix socket) and frontends/windows_services
// (LockFileEx and a named event) each build this class.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace platform {

class InstanceLock {
 public:
  struct Attempt;

  // Takes the lock of the current directory (`lockFile` in it). When another
  // process holds it, that process is asked to come forward and the lock is
  // tried again for up to `patience`: a restarted launcher so waits for its
  // predecessor to end.
  static Attempt Acquire(const std::string& lockFile, std::chrono::milliseconds patience);

  // Releases the lock; waits for the thread serving requests.
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // From now on `onRequest` runs, on a thread of the lock's own, whenever a
  // later start asks this launcher to come forward. Once only.
  void ServeRequests(std::function<void()> onRequest);

 private:
  struct Handles;  // the platform's own
  explicit InstanceLock(std::unique_ptr<Handles> handles);

  std::unique_ptr<Handles> handles_;
  std::thread server_;
};

struct InstanceLock::Attempt {
  std::unique_ptr<InstanceLock> lock;  // null when not taken
  bool heldElsewhere = false;          // another launcher runs here
  std::string problem;                 // why there is no lock
};

}  // namespace platform
