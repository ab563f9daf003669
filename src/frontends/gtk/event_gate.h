#pragma once
// Keeps the launcher's handlers from running inside a nested wait of the
// main loop (reading the page text spins the loop until the web engine
// answers): work arriving meanwhile is held back and delivered afterwards,
// timer ticks are dropped as coalesced ticks would be.
#include <deque>
#include <functional>

namespace frontends::gtk {

class EventGate {
 public:
  bool IsOpen() const { return holds_ == 0; }
  // Runs `task` now when open, otherwise once the gate opens again.
  void Deliver(std::function<void()> task);

  class Hold {
   public:
    explicit Hold(EventGate& gate) : gate_(gate) { ++gate_.holds_; }
    ~Hold() { gate_.ReleaseHold(); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    EventGate& gate_;
  };

 private:
  void ReleaseHold();

  int holds_ = 0;
  std::deque<std::function<void()>> held_;
};

}  // namespace frontends::gtk
