#pragma once
// Disk space and ending the process on POSIX.
#include "platform/seam.h"

namespace platform::gtk {

class PosixSystem : public System {
 public:
  bool FreeBytesOfCurrentVolume(std::uint64_t& freeBytes) override;
  // Flushes C stdio and ends at once: detached workers may still be
  // running, so no static destructors run under them.
  [[noreturn]] void Exit(int code) override;
};

}  // namespace platform::gtk
