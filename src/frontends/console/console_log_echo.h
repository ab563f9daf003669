#pragma once
// The console's copy of the launcher's failure log: every line that goes
// to farLaunch.log is printed above the status line as "[ERROR] message",
// so a console run says why it failed. The echo must not outlive the
// console it prints on.
#include "base/log/ox_log_output.h"
#include "frontends/console/console.h"

namespace frontends::console {

class ConsoleLogEcho : public ox_base::OxLogOutput {
 public:
  // Messages arrive in `codePage` and are printed as UTF-8.
  ConsoleLogEcho(Console& console, unsigned codePage);
  void Write(const ox_base::OxLogEvent& event) override;

 private:
  Console& console_;
  unsigned codePage_;
};

}  // namespace frontends::console
