#include <windows.h>

#include "base/diagnostics/ox_process_facts.h"
#include "base/text/ox_unicode.h"
#include "base/text/ox_wide_text_win.h"

namespace ox_base {

std::string CommandLine() {
  // The program's name first, as the system keeps the line.
  return Utf8ToCodePage(Utf8FromWide(GetCommandLineW()), kLauncherCodePage);
}

std::string ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::string();
    if (length < path.size()) {
      path.resize(length);
      return Utf8FromWide(path);
    }
    path.resize(path.size() * 2);
  }
}

std::string ComputerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
  if (!GetComputerNameW(name, &length)) return std::string();
  return Utf8ToCodePage(Utf8FromWide(std::wstring(name, length)), kLauncherCodePage).substr(0, kNameMax);
}

std::string UserName() {
  wchar_t name[kNameMax + 1] = {};
  DWORD length = kNameMax + 1;
  if (!GetUserNameW(name, &length) || length == 0) return std::string();
  // The length counts the terminating null.
  return Utf8ToCodePage(Utf8FromWide(std::wstring(name, length - 1)), kLauncherCodePage).substr(0, kNameMax);
}

}  // namespace ox_base
