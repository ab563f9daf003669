#include "frontends/win32/win32_shell_win.h"

#include "base/text/ox_unicode.h"
#include "frontends/windows/browser_open_win.h"
#include "frontends/windows/program_start_win.h"

namespace frontends::win32 {

platform::StartResult Win32Shell::StartProgram(const std::string& program, const std::string& parameters) {
  platform::StartResult result;
  result.started =
      windows::StartGameProgram(program, parameters, ox_base::kLauncherCodePage, result.problem);
  return result;
}

bool Win32Shell::OpenInBrowser(const std::string& url) {
  return windows::OpenInDefaultBrowser(ox_base::CodePageToUtf8(url, ox_base::kLauncherCodePage));
}

}  // namespace frontends::win32
