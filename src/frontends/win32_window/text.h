#pragma once
// Text crossing into Win32: the launcher's code-page bytes become UTF-16
// here.
#include <string>

#include "base/text/ox_unicode.h"
#include "base/text/ox_wide_text_win.h"

namespace frontends::win32_window {

inline std::wstring WideText(const std::string& codePageText) {
  return ox_base::WideFromUtf8(ox_base::CodePageToUtf8(codePageText, ox_base::kLauncherCodePage));
}

}  // namespace frontends::win32_window
