#include "frontends/console/console_platform.h"

#include <unistd.h>

#include "frontends/console/console_close.h"

namespace frontends::console {

ConsolePlatform::ConsolePlatform(unsigned codePage, std::FILE* out)
    : console_(out, isatty(fileno(out)) == 1),
      window_(console_, codePage),
      dialogs_(console_, codePage),
      webPanel_(loop_, console_, codePage),
      shell_(console_, codePage),
      system_([this] { console_.Finish(); }) {}

int ConsolePlatform::Run(platform::WindowEvents& events) {
  ConsoleClose closeOnSignals(loop_);
  return loop_.Run(events);
}

}  // namespace frontends::console
