#pragma once
// The application object: builds the main dialog on a platform and runs it
// until the window is closed.
#include <utility>

#include "base/log/ox_log_output.h"
#include "base/objects/ox_smart_ptr.h"
#include "platform/seam.h"
#include "update/gamedir/launcher_state.h"

class CfarLaunchApp {
 public:
  // `failureEcho` also receives the lines of farLaunch.log (may be empty).
  CfarLaunchApp(platform::Platform& platform, EndPolicy ends,
                ox_base::SmartPtr<ox_base::OxLogOutput> failureEcho = {})
      : platform_(platform), ends_(std::move(ends)), failureEcho_(std::move(failureEcho)) {}

  // Starts the dialog and delivers its events; ends the process when the
  // window is closed through the window manager, once an archive being
  // unpacked has been stopped and put back.
  void InitInstance();

 private:
  platform::Platform& platform_;
  EndPolicy ends_;
  ox_base::SmartPtr<ox_base::OxLogOutput> failureEcho_;
};
