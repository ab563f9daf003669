#pragma once
// Finds and loads the window front end's module (platform/window_module.h).
#include <memory>
#include <string>

#include "platform/seam.h"

namespace frontends::posix {

// Loads the module from beside the running executable (where
// `cmake --install` puts it, and where a game directory keeps it) and opens
// the window. nullptr, with the reason in `error`, when the module
// cannot be loaded or no display opens. The module stays loaded for the
// life of the process.
std::unique_ptr<platform::Platform> LoadWindowPlatform(std::string& error);

}  // namespace frontends::posix
