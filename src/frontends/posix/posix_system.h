#pragma once
// Disk space and ending the process on POSIX, for both front ends.
#include <functional>

#include "platform/seam.h"

namespace frontends::posix {

class PosixSystem : public platform::System {
 public:
  // `beforeExit` runs first on the way out (the console ends its status
  // line there).
  explicit PosixSystem(std::function<void()> beforeExit = {});

  // statvfs(".") : the bytes an unprivileged user may still write.
  bool FreeBytesOfCurrentVolume(std::uint64_t& freeBytes) override;
  // Flushes stdio and ends the process with _exit: detached workers may
  // still be running, so no static destructor runs under them.
  [[noreturn]] void EndProcess(int code) override;

 private:
  std::function<void()> beforeExit_;
};

}  // namespace frontends::posix
