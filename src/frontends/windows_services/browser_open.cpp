#include "frontends/windows_services/browser_open.h"

#include <windows.h>
#include <shellapi.h>

#include "base/text/ox_wide_text_win.h"

namespace frontends::windows_services {

bool OpenInDefaultBrowser(const std::string& address) {
  const HINSTANCE opened =
      ShellExecuteW(nullptr, L"open", ox_base::WideFromUtf8(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(opened) > 32;
}

}  // namespace frontends::windows_services
