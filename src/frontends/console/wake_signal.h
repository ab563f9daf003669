#pragma once
// What the console's event loop sleeps on: woken from any thread (and, on
// Linux, from a signal handler), or when its time is up. One file per
// platform: a pipe and poll on Linux, an event object on Windows.
#include <memory>

namespace frontends::console {

class WakeSignal {
 public:
  WakeSignal();  // throws std::runtime_error when the system has none to give
  ~WakeSignal();
  WakeSignal(const WakeSignal&) = delete;
  WakeSignal& operator=(const WakeSignal&) = delete;

  // Wakes the waiter, or the next Wait at once. Async-signal-safe on Linux.
  void Wake();
  // Returns when woken (since the last Wait) or after `timeoutMs` (-1: no
  // limit); the wake-ups it returned on are used up.
  void Wait(int timeoutMs);

 private:
  struct Native;
  std::unique_ptr<Native> native_;
};

}  // namespace frontends::console
