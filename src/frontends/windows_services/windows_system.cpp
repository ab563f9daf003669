#include "frontends/windows_services/windows_system.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace frontends::windows_services {

WindowsSystem::WindowsSystem(std::function<void()> beforeExit) : beforeExit_(std::move(beforeExit)) {}

bool WindowsSystem::FreeBytesOfCurrentVolume(std::uint64_t& freeBytes) {
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExW(L".", &available, nullptr, nullptr)) return false;
  freeBytes = available.QuadPart;
  return true;
}

void WindowsSystem::EndProcess(int code) {
  if (beforeExit_) beforeExit_();
  std::fflush(nullptr);
  std::_Exit(code);
}

}  // namespace frontends::windows_services
