#pragma once
// What the launcher's start needs of the operating system, one file per
// platform (host_posix.cpp, host_win.cpp): its standard streams, the lock
// that keeps one launcher per game directory, and the window front end.
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/seam.h"

namespace host {

// Gives the process standard streams where the player typed the command:
// a Windows program without a console of its own (a double-click must not
// open one) attaches to its parent's console, unless its streams were
// handed to it.
void UseParentConsole();

// The lock of one game directory, held while the object lives.
class GameDirectoryLock {
 public:
  virtual ~GameDirectoryLock() = default;
  // From now on `onRequest` runs, on a thread of the lock's own, whenever a
  // later start asks this launcher to come forward. Once only.
  virtual void ServeRequests(std::function<void()> onRequest) = 0;
};

struct LockAttempt {
  std::unique_ptr<GameDirectoryLock> lock;  // null when not taken
  bool heldElsewhere = false;               // another launcher runs here
  std::string problem;                      // why there is no lock
};

// Takes the lock of the current directory (`lockFile` in it); while another
// launcher holds it, asks that one to come forward and tries again for up
// to `patience`.
LockAttempt LockGameDirectory(const std::string& lockFile, std::chrono::milliseconds patience);

// Whether a window can be shown at all (Linux: a display is named).
bool WindowPossible();

// The window front end, or nullptr with the reason in `error` when it
// cannot be had.
std::unique_ptr<platform::Platform> MakeWindowPlatform(std::string& error);

}  // namespace host
