#include <windows.h>

#include <atomic>

#include "frontends/console/console_close.h"

namespace frontends::console {
namespace {

// The numbers of the Linux signals each event stands for, so that both
// platforms end with the same codes and log the same words.
constexpr int kHangUp = 1;
constexpr int kInterrupt = 2;
constexpr int kTerminate = 15;

std::atomic<EventLoop*> closingLoop{nullptr};

BOOL WINAPI CloseOnConsoleEvent(DWORD event) {
  EventLoop* loop = closingLoop.load();
  if (loop == nullptr) return FALSE;
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      loop->RequestClose(platform::kClosedBySignal + kInterrupt);
      return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      loop->RequestClose(platform::kClosedBySignal + (event == CTRL_CLOSE_EVENT ? kHangUp : kTerminate));
      // The system ends the process as soon as this handler returns: it
      // waits here while the launcher puts its files in order and exits.
      Sleep(INFINITE);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

ConsoleClose::ConsoleClose(EventLoop& loop) {
  closingLoop = &loop;
  SetConsoleCtrlHandler(CloseOnConsoleEvent, TRUE);
}

ConsoleClose::~ConsoleClose() {
  SetConsoleCtrlHandler(CloseOnConsoleEvent, FALSE);
  closingLoop = nullptr;
}

}  // namespace frontends::console
