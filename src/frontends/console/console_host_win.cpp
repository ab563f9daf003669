#include <windows.h>
#include <io.h>

#include "frontends/console/console_host.h"
#include "frontends/windows_services/browser_open.h"
#include "frontends/windows_services/program_start.h"
#include "frontends/windows_services/windows_system.h"

namespace frontends::console {

bool PrepareOutput(std::FILE* out) {
  // A console shows the bytes in its output code page; a file or pipe
  // takes them as they are.
  SetConsoleOutputCP(CP_UTF8);
  return _isatty(_fileno(out)) != 0;
}

std::unique_ptr<platform::System> MakeSystem(std::function<void()> beforeExit) {
  return std::make_unique<windows_services::WindowsSystem>(std::move(beforeExit));
}

bool StartGameProgram(const std::string& program, const std::string& parameters, unsigned codePage,
                      std::string& problem) {
  return windows_services::StartGameProgram(program, parameters, codePage, problem);
}

bool OpenAddress(const std::string& address) { return windows_services::OpenInDefaultBrowser(address); }

}  // namespace frontends::console
