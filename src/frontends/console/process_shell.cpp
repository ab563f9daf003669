#include "frontends/console/process_shell.h"

#include <cstdlib>

#include "base/ox_unicode.h"
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

ProcessShell::ProcessShell(Console& console, unsigned codePage) : console_(console), codePage_(codePage) {}

platform::StartResult ProcessShell::StartProgram(const std::string& program, const std::string& parameters) {
  // The launcher reports a failed start with its reason.
  platform::StartResult result;
  result.started = posix::StartGameProgram(program, parameters, codePage_, result.problem);
  return result;
}

bool ProcessShell::OpenInBrowser(const std::string& url) {
  std::string address = ox_base::CodePageToUtf8(url, codePage_);
  console_.PrintLine("[Browser] " + address);
  if (!HasDisplay()) return true;
  std::string opener = posix::FindOnPath("xdg-open");
  return !opener.empty() && posix::SpawnDetached({opener, address});
}

}  // namespace frontends::console
