#pragma once
// One launcher per game directory. The lock is an flock on one file inside
// the directory (farLaunch.lock): it is the same inode however the
// directory is reached (a bind mount, a symbolic link, another mount or
// network namespace), and the kernel releases it with the process however
// the process ends (a crash or kill -9 leaves nothing held). Its
// descriptor is close-on-exec: the client, wine or a restarted launcher
// never inherit it. Beside it, an abstract unix socket named after the
// directory's real path only lets a second start ask the first to come
// forward.
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

  // Takes the lock of the current directory (`lockFile` in it). When another process holds
  // it, that process is asked to come forward and the lock is tried again
  // for up to `patience`: a restarted launcher so waits for its predecessor
  // to end.
  static Attempt Acquire(const std::string& lockFile, std::chrono::milliseconds patience);

  // Releases the lock; waits for the thread serving requests.
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // From now on `onRequest` runs, on a thread of the lock's own, whenever a
  // later start asks this launcher to come forward. Once only.
  void ServeRequests(std::function<void()> onRequest);

 private:
  InstanceLock(OwnedFd file, OwnedFd socket) : file_(std::move(file)), socket_(std::move(socket)) {}

  OwnedFd file_;
  OwnedFd socket_;  // may be closed: nobody can then ask this one forward
  std::thread server_;
};

struct InstanceLock::Attempt {
  std::unique_ptr<InstanceLock> lock;  // null when not taken
  bool heldElsewhere = false;          // another launcher runs here
  std::string problem;                 // why there is no lock
};

}  // namespace frontends::posix
