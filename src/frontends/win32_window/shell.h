#pragma once
// The shell of the window front end: programs of the game directory start
// with CreateProcessW, addresses open in the user's default browser.
#include "platform/seam.h"

namespace frontends::win32_window {

class Win32Shell : public platform::Shell {
 public:
  platform::StartResult StartProgram(const std::string& program, const std::string& parameters) override;
  bool OpenInBrowser(const std::string& url) override;
};

}  // namespace frontends::win32_window
