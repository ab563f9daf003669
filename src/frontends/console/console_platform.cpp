#include "frontends/console/console_platform.h"

#include "frontends/console/console_close.h"
#include "frontends/console/console_host.h"
#include "frontends/console/console_log_echo.h"

namespace frontends::console {

ConsolePlatform::ConsolePlatform(unsigned codePage, std::FILE* out)
    : codePage_(codePage),
      console_(out, PrepareOutput(out)),
      window_(console_, codePage),
      dialogs_(console_, codePage),
      webPanel_([this](HttpWebPanel::Delivery delivery) { loop_.Post(std::move(delivery)); },
                [this](const std::string& line) { console_.PrintLine(line); }, codePage),
      shell_(console_, codePage),
      system_(MakeSystem([this] { console_.Finish(); })) {}

ox_base::SmartPtr<ox_base::OxLogOutput> ConsolePlatform::FailureEcho() {
  return ox_base::SmartPtr<ox_base::OxLogOutput>(new ConsoleLogEcho(console_, codePage_));
}

int ConsolePlatform::Run(platform::WindowEvents& events) {
  ConsoleClose closeOnSignals(loop_);
  return loop_.Run(events);
}

}  // namespace frontends::console
