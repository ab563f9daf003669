#include "frontends/console/console_close.h"

#include <atomic>

namespace frontends::console {
namespace {

// The loop the signals close; one Run at a time per process.
std::atomic<EventLoop*> closingLoop{nullptr};

// The shell's code for a process a signal ended: the program says why.
extern "C" void CloseOnSignal(int signal) {
  if (EventLoop* loop = closingLoop.load()) loop->RequestClose(platform::kClosedBySignal + signal);
}

}  // namespace

ConsoleClose::ConsoleClose(EventLoop& loop) {
  closingLoop = &loop;
  struct sigaction action {};
  action.sa_handler = CloseOnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, &previousInterrupt_);
  sigaction(SIGTERM, &action, &previousTerminate_);
  sigaction(SIGHUP, &action, &previousHangUp_);
}

ConsoleClose::~ConsoleClose() {
  sigaction(SIGINT, &previousInterrupt_, nullptr);
  sigaction(SIGTERM, &previousTerminate_, nullptr);
  sigaction(SIGHUP, &previousHangUp_, nullptr);
  closingLoop = nullptr;
}

}  // namespace frontends::console
