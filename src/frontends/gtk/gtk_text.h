#pragma once
// Text crossing into GTK: the launcher's code-page bytes become UTF-8 here.
#include <string>

#include "base/text/ox_unicode.h"

namespace frontends::gtk {

inline std::string ToUtf8(const std::string& codePageText) {
  return ox_base::CodePageToUtf8(codePageText, ox_base::kLauncherCodePage);
}

}  // namespace frontends::gtk
