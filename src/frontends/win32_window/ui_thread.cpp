#include "frontends/win32_window/ui_thread.h"

namespace frontends::win32_window {

void Win32UiThread::StartTimer(int timerId, int periodMs) {
  SetTimer(window_.Handle(), static_cast<UINT_PTR>(timerId), static_cast<UINT>(periodMs), nullptr);
}

void Win32UiThread::StopTimer(int timerId) { KillTimer(window_.Handle(), static_cast<UINT_PTR>(timerId)); }

void Win32UiThread::RunOnUiThread(std::function<void()> task) { window_.PostTask(std::move(task)); }

void Win32UiThread::PostWindowMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  PostMessageW(window_.Handle(), message, wParam, lParam);
}

}  // namespace frontends::win32_window
