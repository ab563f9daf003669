#include "frontends/win32_window/dialogs.h"

#include <string>

#include "frontends/win32_window/text.h"

namespace frontends::win32_window {

int Win32Dialogs::Run(const std::string& text, UINT buttons) {
  const HWND owner = owner_();
  std::wstring caption(owner != nullptr ? GetWindowTextLengthW(owner) + 1 : 1, L'\0');
  if (owner != nullptr) {
    caption.resize(GetWindowTextW(owner, caption.data(), static_cast<int>(caption.size())));
  }
  return MessageBoxW(owner, WideText(text).c_str(), caption.c_str(), buttons | MB_ICONINFORMATION | MB_SETFOREGROUND);
}

void Win32Dialogs::ShowMessage(const std::string& text) { Run(text, MB_OK); }

bool Win32Dialogs::AskOkCancel(const std::string& text) { return Run(text, MB_OKCANCEL) == IDOK; }

}  // namespace frontends::win32_window
