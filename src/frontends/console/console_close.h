#pragma once
// A console has no window manager to close the window: while an instance
// lives, Ctrl+C (SIGINT), SIGTERM and a closed terminal (SIGHUP) count as
// that close and end the event loop's Run, which returns
// platform::kClosedBySignal + the signal's number. The previous signal handling comes
// back when the instance ends, so a second Ctrl+C after Run kills as usual.
#include <csignal>

#include "frontends/console/event_loop.h"

namespace frontends::console {

class ConsoleClose {
 public:
  explicit ConsoleClose(EventLoop& loop);
  ~ConsoleClose();
  ConsoleClose(const ConsoleClose&) = delete;
  ConsoleClose& operator=(const ConsoleClose&) = delete;

 private:
  struct sigaction previousInterrupt_ {};
  struct sigaction previousTerminate_ {};
  struct sigaction previousHangUp_ {};
};

}  // namespace frontends::console
