#include "frontends/win32_window/platform.h"


namespace frontends::win32_window {
namespace {

// The number of the Linux signal a session's end stands for, so that both
// platforms end with the same code and log the same words.
constexpr int kTerminate = 15;

}  // namespace

std::unique_ptr<Win32Platform> Win32Platform::Create() {
  std::unique_ptr<Win32Platform> platform(new Win32Platform());
  if (platform->window_->Handle() == nullptr) {
    return nullptr;
  }
  return platform;
}

Win32Platform::Win32Platform()
    : webPanel_([this](console::HttpWebPanel::Delivery delivery) {
        window_->PostTask([this, delivery = std::move(delivery)] {
          if (events_ != nullptr) {
            delivery(*events_);
          }
        });
      }),
      window_(std::make_unique<Win32MainWindow>(static_cast<WindowSink&>(*this), webPanel_)),
      uiThread_(*window_),
      dialogs_([this] { return window_ ? window_->Handle() : nullptr; }) {}

Win32Platform::~Win32Platform() {
  // The window goes first, while all it was made with is still there.
  window_.reset();
}

int Win32Platform::Run(platform::WindowEvents& events) {
  events_ = &events;
  closedWith_ = 0;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  events_ = nullptr;
  return closedWith_;
}

void Win32Platform::Command(int controlId) {
  if (events_ != nullptr) {
    events_->OnCommand(controlId);
  }
}

void Win32Platform::CloseRequested() { EndRun(0); }

void Win32Platform::SessionEnding() { EndRun(platform::kClosedBySignal + kTerminate); }

void Win32Platform::Timer(int timerId) {
  if (events_ != nullptr) {
    events_->OnTimer(timerId);
  }
}

void Win32Platform::LauncherMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (events_ != nullptr) {
    events_->OnMessage(message, wParam, lParam);
  }
}

void Win32Platform::EndRun(int closedWith) {
  closedWith_ = closedWith;
  window_->Withdraw();
  PostQuitMessage(0);
}

}  // namespace frontends::win32_window
