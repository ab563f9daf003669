#pragma once
// Text crossing into GTK: the launcher's code-page bytes become UTF-8 here.
#include <string>

#include "base/ox_unicode.h"

namespace platform::gtk {

// The launcher's ANSI code page (GBK).
constexpr unsigned kLauncherCodePage = 936;

inline std::string ToUtf8(const std::string& codePageText) {
  return ox_base::CodePageToUtf8(codePageText, kLauncherCodePage);
}

}  // namespace platform::gtk
