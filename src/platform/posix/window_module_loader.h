#pragma once
// Finds and loads the window front end's module (platform/window_module.h).
#include <memory>
#include <string>

#include "platform/seam.h"

namespace platform::posix {

// Loads the module from beside the running executable, else from where the
// build put it (a launcher copied into a game directory still finds it), and
// opens the window. nullptr, with the reason in `error`, when the module
// cannot be loaded or no display opens. The module stays loaded for the
// life of the process.
std::unique_ptr<Platform> LoadWindowPlatform(std::string& error);

}  // namespace platform::posix
