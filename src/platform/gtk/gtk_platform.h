#pragma once
// The GTK backend: the launcher's window, its web panel and the services of
// the seam on one GLib main loop.
#include <memory>

#include "platform/gtk/event_gate.h"
#include "platform/gtk/gtk_dialogs.h"
#include "platform/gtk/gtk_main_window.h"
#include "platform/gtk/gtk_ui_thread.h"
#include "platform/gtk/gtk_web_panel.h"
#include "platform/gtk/posix_shell.h"
#include "platform/posix/posix_system.h"
#include "platform/seam.h"

namespace platform::gtk {

class GtkPlatform : public Platform {
 public:
  // Opens the window; nullptr when there is no display to open it on. The
  // calling thread becomes the UI thread.
  static std::unique_ptr<GtkPlatform> Create();
  ~GtkPlatform() override;

  Window& GetWindow() override { return *window_; }
  UiThread& GetUiThread() override { return uiThread_; }
  Dialogs& GetDialogs() override { return dialogs_; }
  WebPanel& GetWebPanel() override { return webPanel_; }
  Shell& GetShell() override { return shell_; }
  System& GetSystem() override { return system_; }
  // Delivers events until the window manager closes the window; returns 0.
  int Run(WindowEvents& events) override;

  GtkMainWindow& MainWindow() { return *window_; }

 private:
  GtkPlatform();

  EventGate gate_;
  WindowEvents* events_ = nullptr;
  GMainLoop* loop_;
  GtkUiThread uiThread_;
  GtkWebPanel webPanel_;
  std::unique_ptr<GtkMainWindow> window_;
  GtkDialogs dialogs_;
  PosixShell shell_;
  posix::PosixSystem system_;
};

}  // namespace platform::gtk
