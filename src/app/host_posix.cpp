#include <cstdlib>

#include "app/host.h"
#include "frontends/posix/window_module_loader.h"

namespace host {

void UseParentConsole() {}

bool WindowPossible() {
  const char* display = std::getenv("DISPLAY");
  return display != nullptr && *display != '\0';
}

std::unique_ptr<platform::Platform> MakeWindowPlatform(std::string& error) {
  return frontends::posix::LoadWindowPlatform(error);
}

}  // namespace host
