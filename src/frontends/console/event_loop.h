#pragma once
// The UI thread of the console front end: a loop on the thread that calls
// Run, delivering posted messages, UI-thread tasks and internal deliveries
// in the order they were queued, and the periodic timers once the queue is
// empty (as window timers yield to posted messages).
#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "frontends/console/wake_signal.h"
#include "platform/seam.h"

namespace frontends::console {

class EventLoop : public platform::UiThread {
 public:
  EventLoop() = default;
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  void PostWindowMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
  void StartTimer(int timerId, int periodMs) override;
  void StopTimer(int timerId) override;
  void RunOnUiThread(std::function<void()> task) override;

  // Queues a delivery to the window events; from any thread.
  void Post(std::function<void(platform::WindowEvents&)> delivery);

  // Delivers to `events` until RequestClose; returns the request's code
  // (0, the code of a window that was closed, unless a signal closed it).
  int Run(platform::WindowEvents& events);

  // Ends Run once the delivery in progress returns, with `code`. Callable
  // from any thread and from a signal handler; a request made before Run
  // ends the next Run at once.
  void RequestClose(int code = 0);

 private:
  using Clock = std::chrono::steady_clock;
  struct Timer {
    std::chrono::milliseconds period;
    Clock::time_point due;
  };

  void DeliverQueued(platform::WindowEvents& events);
  void FireDueTimers(platform::WindowEvents& events);
  // Milliseconds until the next timer is due; -1 when no timer runs.
  int MillisecondsToNextTimer();

  WakeSignal wake_;
  std::atomic<bool> closeRequested_{false};
  std::atomic<int> closeCode_{0};
  std::mutex mutex_;
  std::deque<std::function<void(platform::WindowEvents&)>> queue_;
  std::map<int, Timer> timers_;
};

}  // namespace frontends::console
