#pragma once
// Message boxes owned by the launcher's window, with its caption. A worker
// thread's box blocks that worker only, as on the original platform.
#include <windows.h>

#include <functional>

#include "platform/seam.h"

namespace frontends::win32_window {

class Win32Dialogs : public platform::Dialogs {
 public:
  // `owner` gives the window the boxes belong to (null: none).
  explicit Win32Dialogs(std::function<HWND()> owner) : owner_(std::move(owner)) {}

  void ShowMessage(const std::string& text) override;
  bool AskOkCancel(const std::string& text) override;

 private:
  int Run(const std::string& text, UINT buttons);

  std::function<HWND()> owner_;
};

}  // namespace frontends::win32_window
