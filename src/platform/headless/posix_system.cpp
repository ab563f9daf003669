#include "platform/headless/posix_system.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdio>

namespace platform::headless {

PosixSystem::PosixSystem(Console& console) : console_(console) {}

bool PosixSystem::FreeBytesOfCurrentVolume(std::uint64_t& freeBytes) {
  struct statvfs volume {};
  if (statvfs(".", &volume) != 0) return false;
  freeBytes = static_cast<std::uint64_t>(volume.f_bavail) * volume.f_frsize;
  return true;
}

void PosixSystem::Exit(int code) {
  console_.Finish();
  std::fflush(nullptr);
  _exit(code);
}

}  // namespace platform::headless
