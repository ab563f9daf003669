#pragma once
// Timers and cross-thread posting through the window's message queue: the
// launcher's messages keep their numbers, timers are window timers.
#include <windows.h>

#include "frontends/win32_window/main_window.h"
#include "platform/seam.h"

namespace frontends::win32_window {

class Win32UiThread : public platform::UiThread {
 public:
  explicit Win32UiThread(Win32MainWindow& window) : window_(window) {}

  // Setting a running timer again restarts it.
  void StartTimer(int timerId, int periodMs) override;
  void StopTimer(int timerId) override;
  void RunOnUiThread(std::function<void()> task) override;
  void PostWindowMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

 private:
  Win32MainWindow& window_;
};

}  // namespace frontends::win32_window
