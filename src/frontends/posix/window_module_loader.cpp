#include "frontends/posix/window_module_loader.h"

#include "frontends/posix/module_beside_program.h"
#include "platform/window_module.h"

namespace frontends::posix {

std::unique_ptr<platform::Platform> LoadWindowPlatform(std::string& error) {
  error.clear();
  std::string problem;
  const auto factory = reinterpret_cast<platform::WindowPlatformFactory>(
      LoadSymbolBesideProgram(FARLAUNCH_WINDOW_MODULE, platform::kWindowPlatformFactoryName, problem));
  if (factory == nullptr) {
    error = "cannot load the window module (" + problem + ")";
    return nullptr;
  }
  std::unique_ptr<platform::Platform> platform(factory());
  if (!platform) {
    error = "cannot open the display";
  }
  return platform;
}

}  // namespace frontends::posix
