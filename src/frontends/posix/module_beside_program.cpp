#include "frontends/posix/module_beside_program.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace frontends::posix {

// RTLD_NODELETE: objects of a module (its statics, the toolkit's exit
// handlers) may still be reached while the process ends.
void* LoadSymbolBesideProgram(const std::string& module, const char* symbol, std::string& error) {
  std::error_code unknown;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", unknown);
  if (executable.empty()) {
    error = "the program's own folder is unknown";
    return nullptr;
  }
  const std::string path = (executable.parent_path() / module).string();
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (handle == nullptr) {
    error = dlerror();
    return nullptr;
  }
  if (void* found = dlsym(handle, symbol)) {
    return found;
  }
  error = path + ": no " + symbol;
  return nullptr;
}

}  // namespace frontends::posix
