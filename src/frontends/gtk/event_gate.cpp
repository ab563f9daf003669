#include "frontends/gtk/event_gate.h"

#include <glib.h>

namespace frontends::gtk {

void EventGate::Deliver(std::function<void()> task) {
  if (IsOpen()) {
    task();
  } else {
    held_.push_back(std::move(task));
  }
}

void EventGate::ReleaseHold() {
  if (--holds_ != 0 || held_.empty()) {
    return;
  }
  // Deliver from the main loop, not from inside the code that held the gate.
  g_idle_add(
      [](gpointer data) -> gboolean {
        auto* gate = static_cast<EventGate*>(data);
        while (gate->IsOpen() && !gate->held_.empty()) {
          std::function<void()> task = std::move(gate->held_.front());
          gate->held_.pop_front();
          task();
        }
        return G_SOURCE_REMOVE;
      },
      this);
}

}  // namespace frontends::gtk
