#include "frontends/gtk/gtk_ui_thread.h"

namespace frontends::gtk {
namespace {

gboolean RunTask(gpointer data) {
  (*static_cast<std::function<void()>*>(data))();
  return G_SOURCE_REMOVE;
}

void DeleteTask(gpointer data) { delete static_cast<std::function<void()>*>(data); }

}  // namespace

GtkUiThread::GtkUiThread(EventGate& gate) : gate_(gate) {}

void GtkUiThread::StartTimer(int timerId, int periodMs) {
  StopTimer(timerId);  // setting a running timer again restarts it
  timers_.emplace(timerId, EventSource(g_timeout_add_full(G_PRIORITY_DEFAULT, static_cast<guint>(periodMs), OnTimer,
                                                          new Timer{this, timerId},
                                                          [](gpointer data) { delete static_cast<Timer*>(data); })));
}

void GtkUiThread::StopTimer(int timerId) { timers_.erase(timerId); }

gboolean GtkUiThread::OnTimer(gpointer data) {
  const Timer& timer = *static_cast<Timer*>(data);
  GtkUiThread& self = *timer.owner;
  // A tick that falls into a nested wait is dropped; the next one comes.
  if (self.events_ != nullptr && self.gate_.IsOpen()) {
    self.events_->OnTimer(timer.id);
  }
  return G_SOURCE_CONTINUE;
}

void GtkUiThread::RunOnUiThread(std::function<void()> task) {
  // g_idle_add is safe from any thread and always runs the task later.
  auto* gated = new std::function<void()>([this, task = std::move(task)] { gate_.Deliver(task); });
  g_idle_add_full(G_PRIORITY_DEFAULT, RunTask, gated, DeleteTask);
}

void GtkUiThread::PostWindowMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  RunOnUiThread([this, message, wParam, lParam] {
    if (events_ != nullptr) {
      events_->OnMessage(message, wParam, lParam);
    }
  });
}

}  // namespace frontends::gtk
