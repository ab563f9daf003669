#pragma once
// The Win32 backend: the launcher's window, its message boxes, the news
// panel and the services of the seam on the window's message loop.
#include <memory>

#include "frontends/win32_window/dialogs.h"
#include "frontends/win32_window/main_window.h"
#include "frontends/win32_window/news_panel.h"
#include "frontends/win32_window/shell.h"
#include "frontends/win32_window/ui_thread.h"
#include "frontends/windows_services/windows_system.h"
#include "platform/seam.h"

namespace frontends::win32_window {

class Win32Platform : public platform::Platform, private WindowSink {
 public:
  // Opens the window, its first frame drawn; nullptr when no window can be
  // made (no desktop). The calling thread becomes the UI thread.
  static std::unique_ptr<Win32Platform> Create();
  ~Win32Platform() override;

  platform::Window& GetWindow() override { return *window_; }
  platform::UiThread& GetUiThread() override { return uiThread_; }
  platform::Dialogs& GetDialogs() override { return dialogs_; }
  platform::WebPanel& GetWebPanel() override { return webPanel_; }
  platform::Shell& GetShell() override { return shell_; }
  platform::System& GetSystem() override { return system_; }
  // Delivers events until the window is closed (returns 0) or the session
  // ends (platform::kClosedBySignal + 15, as a SIGTERM would); the window
  // is off the screen then.
  int Run(platform::WindowEvents& events) override;

 private:
  Win32Platform();
  // WindowSink
  void Command(int controlId) override;
  void CloseRequested() override;
  void SessionEnding() override;
  void Timer(int timerId) override;
  void LauncherMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
  void EndRun(int closedWith);

  platform::WindowEvents* events_ = nullptr;
  int closedWith_ = 0;
  // Made before the window, which places its note; its reader's worker
  // ends before the window goes.
  Win32NewsPanel webPanel_;
  std::unique_ptr<Win32MainWindow> window_;
  Win32UiThread uiThread_;
  Win32Dialogs dialogs_;
  Win32Shell shell_;
  windows_services::WindowsSystem system_;
};

}  // namespace frontends::win32_window
