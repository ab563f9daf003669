#include "frontends/posix/window_module_loader.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#include "platform/window_module.h"

namespace frontends::posix {

namespace {

// RTLD_NODELETE: objects of the module (its statics, GTK's exit handlers)
// may still be reached while the process ends.
platform::WindowPlatformFactory LoadFactory(std::string& error) {
  std::error_code unknown;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", unknown);
  if (executable.empty()) {
    error = "cannot load the window module (the program's own folder is unknown)";
    return nullptr;
  }
  const std::string module = (executable.parent_path() / FARLAUNCH_WINDOW_MODULE).string();
  void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (handle == nullptr) {
    error = "cannot load the window module (" + std::string(dlerror()) + ")";
    return nullptr;
  }
  if (void* factory = dlsym(handle, platform::kWindowPlatformFactoryName)) {
    return reinterpret_cast<platform::WindowPlatformFactory>(factory);
  }
  error = "cannot load the window module (" + module + ": no " + platform::kWindowPlatformFactoryName + ")";
  return nullptr;
}

}  // namespace

std::unique_ptr<platform::Platform> LoadWindowPlatform(std::string& error) {
  error.clear();
  const platform::WindowPlatformFactory factory = LoadFactory(error);
  if (factory == nullptr) {
    return nullptr;
  }
  std::unique_ptr<platform::Platform> platform(factory());
  if (!platform) {
    error = "cannot open the display";
  }
  return platform;
}

}  // namespace frontends::posix
