#pragma once
// The launcher's loadable modules live beside the running executable (where
// `cmake --install` puts them, and where a game directory keeps them).
#include <string>

namespace frontends::posix {

// Loads `module` from beside the running executable and finds `symbol` in
// it; nullptr, with the reason in `error` (the loader's words), when
// either fails. The module
// stays loaded for the life of the process. Safe on any thread.
void* LoadSymbolBesideProgram(const std::string& module, const char* symbol, std::string& error);

}  // namespace frontends::posix
