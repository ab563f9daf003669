#pragma once
// The GTK backend: the launcher's window, its web panel and the services of
// the seam on one GLib main loop.
#include <memory>

#include "frontends/gtk/accessibility_bridge.h"
#include "frontends/gtk/event_gate.h"
#include "frontends/gtk/gtk_dialogs.h"
#include "frontends/gtk/gtk_main_window.h"
#include "frontends/gtk/gtk_ui_thread.h"
#include "frontends/gtk/gtk_web_panel.h"
#include "frontends/gtk/owned.h"
#include "frontends/gtk/gio_shell.h"
#include "frontends/gtk/web_engine_loader.h"
#include "frontends/posix/posix_system.h"
#include "platform/seam.h"

namespace frontends::gtk {

class GtkPlatform : public platform::Platform {
 public:
  // Opens the window; nullptr when there is no display to open it on. The
  // calling thread becomes the UI thread. Once the window's first frame is
  // drawn, `loadWebEngine` runs on a thread of its own and the news panel
  // gets the engine it loaded.
  static std::unique_ptr<GtkPlatform> Create(WebEngineLoad loadWebEngine);
  ~GtkPlatform() override;

  platform::Window& GetWindow() override { return *window_; }
  platform::UiThread& GetUiThread() override { return uiThread_; }
  platform::Dialogs& GetDialogs() override { return dialogs_; }
  platform::WebPanel& GetWebPanel() override { return webPanel_; }
  platform::Shell& GetShell() override { return shell_; }
  platform::System& GetSystem() override { return system_; }
  // Delivers events until the window manager closes the window (returns 0)
  // or SIGHUP, SIGINT or SIGTERM closes it (platform::kClosedBySignal + the
  // signal); the window is off the screen then.
  int Run(platform::WindowEvents& events) override;

  GtkMainWindow& MainWindow() { return *window_; }

 private:
  GtkPlatform(AccessibilityBridge accessibility, WebEngineLoad loadWebEngine);
  // What waits for the first frame.
  void OnFirstFrame();
  template <int Signal>
  static gboolean OnCloseSignal(gpointer self);
  // Ends Run with `closedWith`, the window taken off the screen.
  void EndRun(int closedWith);

  EventGate gate_;
  platform::WindowEvents* events_ = nullptr;
  int closedWith_ = 0;
  MainLoop loop_;
  GtkUiThread uiThread_;
  GtkWebPanel webPanel_;
  std::unique_ptr<GtkMainWindow> window_;
  GtkDialogs dialogs_;
  GioShell shell_;
  posix::PosixSystem system_;
  AccessibilityBridge accessibility_;
  // Destroyed first: a load under way ends before the panel goes.
  WebEngineLoader webEngine_;
};

}  // namespace frontends::gtk
