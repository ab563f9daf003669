#pragma once
// The platform for machines without a display (servers, CI, scripted use):
// the status line and a text progress bar on the console, message boxes
// printed with their default answer, the web panel fetched over HTTP and
// read as text, programs started directly or through wine.
//
// Run delivers the window events on the calling thread. There is no window
// manager to close the window: Ctrl+C, SIGTERM or a closed terminal stand
// in for it (see ConsoleClose) and Run returns 0. Every other way out goes
// through System::Exit, which ends the process without returning.
#include <cstdio>

#include "platform/headless/console.h"
#include "platform/headless/console_dialogs.h"
#include "platform/headless/console_window.h"
#include "platform/headless/event_loop.h"
#include "platform/headless/http_web_panel.h"
#include "platform/headless/process_shell.h"
#include "platform/posix/posix_system.h"
#include "platform/seam.h"

namespace platform::headless {

class HeadlessPlatform : public Platform {
 public:
  // Texts crossing the seam are in `codePage` (936, GBK, by default); the
  // console gets UTF-8. `out` is where the console writes.
  explicit HeadlessPlatform(unsigned codePage = 936, std::FILE* out = stdout);

  Window& GetWindow() override { return window_; }
  UiThread& GetUiThread() override { return loop_; }
  Dialogs& GetDialogs() override { return dialogs_; }
  WebPanel& GetWebPanel() override { return webPanel_; }
  Shell& GetShell() override { return shell_; }
  System& GetSystem() override { return system_; }
  int Run(WindowEvents& events) override;

  // What a console close does: ends Run. From any thread.
  void RequestClose() { loop_.RequestClose(); }

 private:
  Console console_;
  EventLoop loop_;
  ConsoleWindow window_;
  ConsoleDialogs dialogs_;
  HttpWebPanel webPanel_;
  ProcessShell shell_;
  posix::PosixSystem system_;
};

}  // namespace platform::headless
