#include "frontends/console/event_loop.h"

#include <utility>
#include <vector>

namespace frontends::console {

void EventLoop::Post(std::function<void(platform::WindowEvents&)> delivery) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(delivery));
  }
  wake_.Wake();
}

void EventLoop::PostWindowMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  Post([message, wParam, lParam](platform::WindowEvents& events) { events.OnMessage(message, wParam, lParam); });
}

void EventLoop::RunOnUiThread(std::function<void()> task) {
  Post([task = std::move(task)](platform::WindowEvents&) { task(); });
}

void EventLoop::StartTimer(int timerId, int periodMs) {
  std::chrono::milliseconds period(periodMs > 0 ? periodMs : 1);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    timers_[timerId] = Timer{period, Clock::now() + period};
  }
  wake_.Wake();
}

void EventLoop::StopTimer(int timerId) {
  std::lock_guard<std::mutex> lock(mutex_);
  timers_.erase(timerId);
}

void EventLoop::RequestClose(int code) {
  closeCode_ = code;
  closeRequested_ = true;
  wake_.Wake();
}

void EventLoop::DeliverQueued(platform::WindowEvents& events) {
  std::deque<std::function<void(platform::WindowEvents&)>> batch;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    batch.swap(queue_);
  }
  while (!batch.empty() && !closeRequested_) {
    auto delivery = std::move(batch.front());
    batch.pop_front();
    delivery(events);
  }
  if (!batch.empty()) {
    // Closing: keep what was not delivered, in order, for a later Run.
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.insert(queue_.begin(), std::make_move_iterator(batch.begin()), std::make_move_iterator(batch.end()));
  }
}

void EventLoop::FireDueTimers(platform::WindowEvents& events) {
  std::vector<int> due;
  Clock::time_point now = Clock::now();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& [id, timer] : timers_) {
      if (timer.due > now) continue;
      due.push_back(id);
      // Ticks missed while a handler ran are not made up, as with window
      // timers; the next tick is one period ahead.
      timer.due += timer.period;
      if (timer.due <= now) timer.due = now + timer.period;
    }
  }
  for (int id : due) {
    if (closeRequested_) return;
    {
      // An earlier handler of this round may have stopped the timer.
      std::lock_guard<std::mutex> lock(mutex_);
      if (timers_.count(id) == 0) continue;
    }
    events.OnTimer(id);
  }
}

int EventLoop::MillisecondsToNextTimer() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!queue_.empty()) return 0;
  if (timers_.empty()) return -1;
  Clock::time_point next = Clock::time_point::max();
  for (const auto& [id, timer] : timers_) next = std::min(next, timer.due);
  auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now()).count();
  return wait < 0 ? 0 : static_cast<int>(std::min<decltype(wait)>(wait, 60'000));
}

int EventLoop::Run(platform::WindowEvents& events) {
  while (!closeRequested_) {
    DeliverQueued(events);
    FireDueTimers(events);
    if (closeRequested_) break;
    wake_.Wait(MillisecondsToNextTimer());
  }
  closeRequested_ = false;
  return closeCode_.exchange(0);
}

}  // namespace frontends::console
