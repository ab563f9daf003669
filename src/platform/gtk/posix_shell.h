#pragma once
// Starting programs and opening addresses on a Linux desktop.
#include "platform/seam.h"

namespace platform::gtk {

class PosixShell : public Shell {
 public:
  // A Windows program (a file starting with "MZ") runs under `wine` when it
  // is installed; anything else is executed directly. The parameter string
  // is one argument, in UTF-8.
  bool StartProgram(const std::string& program, const std::string& parameters) override;
  // Hands the address to the desktop's default handler.
  bool OpenInBrowser(const std::string& url) override;
};

}  // namespace platform::gtk
