#include <cstdlib>

#include "app/host.h"
#include "app/host_lock.h"
#include "frontends/posix/instance_lock.h"
#include "frontends/posix/window_module_loader.h"

namespace host {

void UseParentConsole() {}

LockAttempt LockGameDirectory(const std::string& lockFile, std::chrono::milliseconds patience) {
  return Adopt<frontends::posix::InstanceLock>(frontends::posix::InstanceLock::Acquire(lockFile, patience));
}

bool WindowPossible() {
  const char* display = std::getenv("DISPLAY");
  return display != nullptr && *display != '\0';
}

std::unique_ptr<platform::Platform> MakeWindowPlatform(std::string& error) {
  return frontends::posix::LoadWindowPlatform(error);
}

}  // namespace host
