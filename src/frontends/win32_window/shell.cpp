#include "frontends/win32_window/shell.h"

#include "base/text/ox_unicode.h"
#include "frontends/windows_services/browser_open.h"
#include "frontends/windows_services/program_start.h"

namespace frontends::win32_window {

platform::StartResult Win32Shell::StartProgram(const std::string& program, const std::string& parameters) {
  platform::StartResult result;
  result.started =
      windows_services::StartGameProgram(program, parameters, ox_base::kLauncherCodePage, result.problem);
  return result;
}

bool Win32Shell::OpenInBrowser(const std::string& url) {
  return windows_services::OpenInDefaultBrowser(ox_base::CodePageToUtf8(url, ox_base::kLauncherCodePage));
}

}  // namespace frontends::win32_window
