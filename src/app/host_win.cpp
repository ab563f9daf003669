#include <windows.h>

#include <cstdio>

#include "app/host.h"
#include "frontends/win32_window/platform.h"

namespace host {
namespace {

bool Usable(HANDLE stream) { return stream != nullptr && stream != INVALID_HANDLE_VALUE; }

}  // namespace

void UseParentConsole() {
  // Streams handed over (redirected, or inherited from a restarting
  // launcher) are kept as they are.
  if (Usable(GetStdHandle(STD_OUTPUT_HANDLE)) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
  std::freopen("CONOUT$", "w", stdout);
  std::freopen("CONOUT$", "w", stderr);
  std::freopen("CONIN$", "r", stdin);
}

// A service or a scheduled task runs on a window station no one sees: the
// console is what it gets.
bool WindowPossible() {
  USEROBJECTFLAGS flags{};
  const HWINSTA station = GetProcessWindowStation();
  return station != nullptr && GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr) &&
         (flags.dwFlags & WSF_VISIBLE) != 0;
}

std::unique_ptr<platform::Platform> MakeWindowPlatform(std::string& error) {
  std::unique_ptr<platform::Platform> platform = frontends::win32_window::Win32Platform::Create();
  if (!platform) {
    error = "the window could not be created";
  }
  return platform;
}

}  // namespace host
