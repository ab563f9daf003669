#include <csignal>

#include <atomic>

#include "frontends/console/console_close.h"

namespace frontends::console {
namespace {

// The loop the signals close; one Run at a time per process.
std::atomic<EventLoop*> closingLoop{nullptr};
struct sigaction previousInterrupt {};
struct sigaction previousTerminate {};
struct sigaction previousHangUp {};

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
  sigaction(SIGINT, &action, &previousInterrupt);
  sigaction(SIGTERM, &action, &previousTerminate);
  sigaction(SIGHUP, &action, &previousHangUp);
}

ConsoleClose::~ConsoleClose() {
  sigaction(SIGINT, &previousInterrupt, nullptr);
  sigaction(SIGTERM, &previousTerminate, nullptr);
  sigaction(SIGHUP, &previousHangUp, nullptr);
  closingLoop = nullptr;
}

}  // namespace frontends::console
