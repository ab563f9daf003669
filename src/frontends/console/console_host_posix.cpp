#include <unistd.h>

#include <cstdlib>

#include "frontends/console/console_host.h"
#include "frontends/posix/posix_system.h"
#include "frontends/posix/program_start.h"
#include "frontends/posix/spawn.h"

namespace frontends::console {
namespace {

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

}  // namespace

bool PrepareOutput(std::FILE* out) { return isatty(fileno(out)) == 1; }

std::unique_ptr<platform::System> MakeSystem(std::function<void()> beforeExit) {
  return std::make_unique<posix::PosixSystem>(std::move(beforeExit));
}

bool StartGameProgram(const std::string& program, const std::string& parameters, unsigned codePage,
                      std::string& problem) {
  return posix::StartGameProgram(program, parameters, codePage, problem);
}

bool OpenAddress(const std::string& address) {
  if (!HasDisplay()) return true;
  std::string opener = posix::FindOnPath("xdg-open");
  return !opener.empty() && posix::SpawnDetached({opener, address});
}

}  // namespace frontends::console
