#pragma once
// A console has no window manager to close the window: while an instance
// lives, what the system sends to close a console program counts as that
// close and ends the event loop's Run, which returns platform::kClosedBySignal
// + the number of the signal it stands for. On Linux: Ctrl+C (SIGINT),
// SIGTERM and a closed terminal (SIGHUP). On Windows: Ctrl+C and Ctrl+Break
// (as SIGINT), a closed console window (as SIGHUP), log-off and shutdown (as
// SIGTERM). The previous handling comes back when the instance ends, so a
// second Ctrl+C after Run kills as usual. One instance at a time.
#include "frontends/console/event_loop.h"

namespace frontends::console {

class ConsoleClose {
 public:
  explicit ConsoleClose(EventLoop& loop);
  ~ConsoleClose();
  ConsoleClose(const ConsoleClose&) = delete;
  ConsoleClose& operator=(const ConsoleClose&) = delete;
};

}  // namespace frontends::console
