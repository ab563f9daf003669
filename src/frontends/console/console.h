#pragma once
// The console launcher's display: one status line (redrawn in place on a
// terminal) and ordinary lines above it. Callable from any thread.
#include <cstdio>
#include <mutex>
#include <string>

namespace frontends::console {

class Console {
 public:
  // `interactive`: `out` is a terminal, so the status line is redrawn in
  // place; otherwise every status change is a line of its own, which keeps
  // logs and pipes readable.
  Console(std::FILE* out, bool interactive);

  // Shows a new status line (UTF-8). In both, control characters other
  // than line feed and tab are shown as "?".
  void ShowStatus(const std::string& line);
  // Prints a line (UTF-8) above the status line.
  void PrintLine(const std::string& line);
  // Ends the status line on a terminal, so that what follows the process
  // starts on a fresh line.
  void Finish();

 private:
  std::mutex mutex_;
  std::FILE* out_;
  bool interactive_;
  std::string status_;
  bool statusShown_ = false;
};

}  // namespace frontends::console
