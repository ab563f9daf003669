#include "frontends/console/process_shell.h"

#include "base/text/ox_unicode.h"
#include "frontends/console/console_host.h"

namespace frontends::console {

ProcessShell::ProcessShell(Console& console, unsigned codePage) : console_(console), codePage_(codePage) {}

platform::StartResult ProcessShell::StartProgram(const std::string& program, const std::string& parameters) {
  // The launcher reports a failed start with its reason.
  platform::StartResult result;
  result.started = StartGameProgram(program, parameters, codePage_, result.problem);
  return result;
}

bool ProcessShell::OpenInBrowser(const std::string& url) {
  std::string address = ox_base::CodePageToUtf8(url, codePage_);
  console_.PrintLine("[Browser] " + address);
  return OpenAddress(address);
}

}  // namespace frontends::console
