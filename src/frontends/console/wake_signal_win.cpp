#include <windows.h>

#include <stdexcept>

#include "frontends/console/wake_signal.h"

namespace frontends::console {

struct WakeSignal::Native {
  HANDLE event;
};

WakeSignal::WakeSignal() {
  // Auto-reset: a wait that returns uses the wake-up up.
  const HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (event == nullptr) throw std::runtime_error("event loop: cannot create its wake-up event");
  native_.reset(new Native{event});
}

WakeSignal::~WakeSignal() { CloseHandle(native_->event); }

void WakeSignal::Wake() { SetEvent(native_->event); }

void WakeSignal::Wait(int timeoutMs) {
  if (WaitForSingleObject(native_->event, timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs)) == WAIT_FAILED) {
    throw std::runtime_error("event loop: waiting failed");
  }
}

}  // namespace frontends::console
