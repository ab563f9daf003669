#pragma once
// The application object: builds the main dialog on a platform and runs it
// until the window is closed.
#include "platform/seam.h"

class CfarLaunchApp {
 public:
  explicit CfarLaunchApp(platform::Platform& platform) : platform_(platform) {}

  // Starts the dialog and delivers its events; ends the process when the
  // window is closed through the window manager.
  void InitInstance();

 private:
  platform::Platform& platform_;
};
