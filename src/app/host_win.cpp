#include <windows.h>

#include <cstdio>

#include "app/host.h"
#include "app/host_lock.h"
#include "frontends/windows/instance_lock_win.h"

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

LockAttempt LockGameDirectory(const std::string& lockFile, std::chrono::milliseconds patience) {
  return Adopt<frontends::windows::InstanceLock>(frontends::windows::InstanceLock::Acquire(lockFile, patience));
}

// The window front end for Windows is not built yet: the console runs.
bool WindowPossible() { return false; }

std::unique_ptr<platform::Platform> MakeWindowPlatform(std::string& error) {
  error = "this build has no window front end";
  return nullptr;
}

}  // namespace host
