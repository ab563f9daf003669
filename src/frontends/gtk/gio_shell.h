#pragma once
// The window's shell: programs start as on the console (frontends/posix),
// addresses open through GIO in the desktop's default handler.
#include "platform/seam.h"

namespace frontends::gtk {

class GioShell : public platform::Shell {
 public:
  // A Windows program (a file starting with "MZ") runs under `wine` when it
  // is installed; anything else is executed directly. The parameter string
  // is one argument, in UTF-8.
  platform::StartResult StartProgram(const std::string& program, const std::string& parameters) override;
  // Hands the address to the desktop's default handler.
  bool OpenInBrowser(const std::string& url) override;
};

}  // namespace frontends::gtk
