#pragma once
// A failure's text for logs and reasons. The system's own message comes in
// the system's language and code page; the number is what the log needs.
#include <windows.h>

#include <string>

namespace ox_base {

inline std::string WindowsErrorText(DWORD code) { return "Windows error " + std::to_string(code); }

}  // namespace ox_base
