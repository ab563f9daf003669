#pragma once
// One launcher per game directory on Windows. The lock is LockFileEx on one
// file inside the directory (farLaunch.lock), through a handle that no
// started program inherits; the system releases it with the process
// however the process ends. Beside it, a named event of the directory lets
// a second start ask the first to come forward.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "frontends/windows/owned_handle_win.h"

namespace frontends::windows {

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
  InstanceLock(OwnedHandle file, OwnedHandle request);

  OwnedHandle file_;
  OwnedHandle request_;  // may be none: nobody can then ask this one forward
  OwnedHandle stop_;
  std::thread server_;
};

struct InstanceLock::Attempt {
  std::unique_ptr<InstanceLock> lock;  // null when not taken
  bool heldElsewhere = false;          // another launcher runs here
  std::string problem;                 // why there is no lock
};

}  // namespace frontends::windows
