#pragma once
// Timers and cross-thread posting through the GLib main context.
#include <glib.h>

#include <functional>
#include <map>

#include "frontends/gtk/event_gate.h"
#include "frontends/gtk/owned.h"
#include "platform/seam.h"

namespace frontends::gtk {

class GtkUiThread : public platform::UiThread {
 public:
  // Timer ticks and posted messages are handed to `events` once it is set.
  explicit GtkUiThread(EventGate& gate);
  GtkUiThread(const GtkUiThread&) = delete;
  GtkUiThread& operator=(const GtkUiThread&) = delete;

  void SetEvents(platform::WindowEvents* events) { events_ = events; }

  void StartTimer(int timerId, int periodMs) override;
  void StopTimer(int timerId) override;
  void RunOnUiThread(std::function<void()> task) override;
  void PostWindowMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

 private:
  struct Timer {
    GtkUiThread* owner;
    int id;
  };
  static gboolean OnTimer(gpointer data);

  EventGate& gate_;
  platform::WindowEvents* events_ = nullptr;
  std::map<int, EventSource> timers_;  // by timer id
};

}  // namespace frontends::gtk
