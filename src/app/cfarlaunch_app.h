#pragma once
// The application object: builds the main dialog on a platform and runs it
// until the window is closed.
#include <utility>

#include "platform/seam.h"
#include "update/launcher_state.h"

class CfarLaunchApp {
 public:
  CfarLaunchApp(platform::Platform& platform, EndPolicy ends) : platform_(platform), ends_(std::move(ends)) {}

  // Starts the dialog and delivers its events; ends the process when the
  // window is closed through the window manager.
  void InitInstance();

 private:
  platform::Platform& platform_;
  EndPolicy ends_;
};
