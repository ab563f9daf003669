#pragma once
// Disk space and ending the process on Windows, for both front ends.
#include <functional>

#include "platform/seam.h"

namespace frontends::windows_services {

class WindowsSystem : public platform::System {
 public:
  // `beforeExit` runs first on the way out (the console ends its status
  // line there).
  explicit WindowsSystem(std::function<void()> beforeExit = {});

  // GetDiskFreeSpaceExW of the current directory: the bytes this user may
  // still write (quotas included).
  bool FreeBytesOfCurrentVolume(std::uint64_t& freeBytes) override;
  // Flushes stdio and ends the process without running static destructors:
  // detached workers may still be running under them.
  [[noreturn]] void EndProcess(int code) override;

 private:
  std::function<void()> beforeExit_;
};

}  // namespace frontends::windows_services
