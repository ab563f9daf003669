#include "platform/headless/headless_platform.h"

#include <unistd.h>

#include "platform/headless/console_close.h"

namespace platform::headless {

HeadlessPlatform::HeadlessPlatform(unsigned codePage, std::FILE* out)
    : console_(out, isatty(fileno(out)) == 1),
      window_(console_, codePage),
      dialogs_(console_, codePage),
      webPanel_(loop_, console_, codePage),
      shell_(console_, codePage),
      system_([this] { console_.Finish(); }) {}

int HeadlessPlatform::Run(WindowEvents& events) {
  ConsoleClose closeOnSignals(loop_);
  return loop_.Run(events);
}

}  // namespace platform::headless
