#include "platform/posix/window_module_loader.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/window_module.h"

namespace platform::posix {

namespace {

std::vector<std::string> ModuleCandidates() {
  std::vector<std::string> candidates;
  std::error_code ignored;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", ignored);
  if (!executable.empty()) {
    candidates.push_back((executable.parent_path() / FARLAUNCH_WINDOW_MODULE_NAME).string());
  }
  candidates.push_back(FARLAUNCH_WINDOW_MODULE_BUILD_PATH);
  return candidates;
}

// RTLD_NODELETE: objects of the module (its statics, GTK's exit handlers)
// may still be reached while the process ends.
WindowPlatformFactory LoadFactory(std::string& error) {
  for (const std::string& candidate : ModuleCandidates()) {
    void* module = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (module == nullptr) {
      error += (error.empty() ? "" : "; ") + std::string(dlerror());
      continue;
    }
    if (void* factory = dlsym(module, kWindowPlatformFactoryName)) {
      return reinterpret_cast<WindowPlatformFactory>(factory);
    }
    error += (error.empty() ? "" : "; ") + candidate + ": no " + kWindowPlatformFactoryName;
  }
  error = "cannot load the window module (" + error + ")";
  return nullptr;
}

}  // namespace

std::unique_ptr<Platform> LoadWindowPlatform(std::string& error) {
  error.clear();
  const WindowPlatformFactory factory = LoadFactory(error);
  if (factory == nullptr) {
    return nullptr;
  }
  std::unique_ptr<Platform> platform(factory());
  if (!platform) {
    error = "cannot open the display";
  }
  return platform;
}

}  // namespace platform::posix
