#pragma once
// The operating system's services for the headless backend.
#include "platform/headless/console.h"
#include "platform/seam.h"

namespace platform::headless {

class PosixSystem : public System {
 public:
  explicit PosixSystem(Console& console);

  // statvfs(".") : the bytes an unprivileged user may still write.
  bool FreeBytesOfCurrentVolume(std::uint64_t& freeBytes) override;
  // Ends the status line, flushes stdio and ends the process with _exit:
  // detached workers may still be running, so no static destructor runs.
  [[noreturn]] void Exit(int code) override;

 private:
  Console& console_;
};

}  // namespace platform::headless
