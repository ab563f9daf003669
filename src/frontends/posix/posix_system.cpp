#include "frontends/posix/posix_system.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdio>
#include <utility>

namespace frontends::posix {

PosixSystem::PosixSystem(std::function<void()> beforeExit) : beforeExit_(std::move(beforeExit)) {}

bool PosixSystem::FreeBytesOfCurrentVolume(std::uint64_t& freeBytes) {
  struct statvfs volume {};
  if (statvfs(".", &volume) != 0) return false;
  freeBytes = static_cast<std::uint64_t>(volume.f_bavail) * volume.f_frsize;
  return true;
}

void PosixSystem::EndProcess(int code) {
  if (beforeExit_) beforeExit_();
  std::fflush(nullptr);
  _exit(code);
}

}  // namespace frontends::posix
