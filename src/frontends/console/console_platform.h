#pragma once
// The platform for machines without a display (servers, CI, scripted use):
// the status line and a text progress bar on the console, message boxes
// printed with their default answer, the web panel fetched over HTTP and
// read as text, programs started directly or through wine.
//
// Run delivers the window events on the calling thread. There is no window
// manager to close the window: Ctrl+C, SIGTERM or a closed terminal stand
// in for it (see ConsoleClose) and Run returns 0. Every other way out goes
// through platform::System::Exit, which ends the process without returning.
#include <cstdio>
#include <memory>

#include "base/log/ox_log_output.h"
#include "base/objects/ox_smart_ptr.h"
#include "base/text/ox_unicode.h"
#include "frontends/console/console.h"
#include "frontends/console/console_dialogs.h"
#include "frontends/console/console_window.h"
#include "frontends/console/event_loop.h"
#include "frontends/console/http_web_panel.h"
#include "frontends/console/process_shell.h"
#include "platform/seam.h"

namespace frontends::console {

class ConsolePlatform : public platform::Platform {
 public:
  // Texts crossing the seam are in `codePage` (GBK by default); the
  // console gets UTF-8. `out` is where the console writes.
  explicit ConsolePlatform(unsigned codePage = ox_base::kLauncherCodePage, std::FILE* out = stdout);

  platform::Window& GetWindow() override { return window_; }
  platform::UiThread& GetUiThread() override { return loop_; }
  platform::Dialogs& GetDialogs() override { return dialogs_; }
  platform::WebPanel& GetWebPanel() override { return webPanel_; }
  platform::Shell& GetShell() override { return shell_; }
  platform::System& GetSystem() override { return *system_; }
  int Run(platform::WindowEvents& events) override;

  // What a console close does: ends Run. From any thread.
  void RequestClose() { loop_.RequestClose(); }

  // An output for the launcher's failure log that prints its lines on this
  // console; it must not outlive the platform.
  ox_base::SmartPtr<ox_base::OxLogOutput> FailureEcho();

 private:
  unsigned codePage_;
  Console console_;
  EventLoop loop_;
  ConsoleWindow window_;
  ConsoleDialogs dialogs_;
  HttpWebPanel webPanel_;
  ProcessShell shell_;
  std::unique_ptr<platform::System> system_;
};

}  // namespace frontends::console
