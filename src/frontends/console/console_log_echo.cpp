#include "frontends/console/console_log_echo.h"

#include "base/text/ox_unicode.h"

namespace frontends::console {

ConsoleLogEcho::ConsoleLogEcho(Console& console, unsigned codePage)
    : OxLogOutput("console echo"), console_(console), codePage_(codePage) {
  SetPattern("[%p] %m");
}

void ConsoleLogEcho::Write(const ox_base::OxLogEvent& event) {
  std::string line = ox_base::CodePageToUtf8(FormatLine(event), codePage_);
  // Messages carry their own line end; the console adds one.
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  console_.PrintLine(line);
}

}  // namespace frontends::console
