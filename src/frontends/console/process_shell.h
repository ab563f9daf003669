#pragma once
// The shell without a display (see console_host.h for each platform).
// Linux: StartProgram runs native programs directly and Windows programs
// (files that start with "MZ") through wine when wine is installed, their
// names and parameters handed over in UTF-8, the encoding of Linux command
// lines; OpenInBrowser prints the address and, when a display is there,
// also hands it to xdg-open. Windows: programs start with CreateProcessW,
// the address opens through the shell.
#include <string>

#include "frontends/console/console.h"
#include "platform/seam.h"

namespace frontends::console {

class ProcessShell : public platform::Shell {
 public:
  ProcessShell(Console& console, unsigned codePage);

  // An empty parameter string adds no argument.
  platform::StartResult StartProgram(const std::string& program, const std::string& parameters) override;
  bool OpenInBrowser(const std::string& url) override;

 private:
  Console& console_;
  unsigned codePage_;
};

}  // namespace frontends::console
