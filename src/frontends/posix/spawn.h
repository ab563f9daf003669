#pragma once
// Starting programs that outlive the launcher.
#include <string>
#include <vector>

namespace frontends::posix {

// Starts argv[0] (a path; no search) with the arguments as given, without a
// shell, in the current directory, and does not wait for it: the program
// is handed to init, so it leaves no zombie behind and survives the
// launcher. `environment` holds NAME=value entries set for the program on
// top of the launcher's own environment. True when the program was
// executed.
bool SpawnDetached(const std::vector<std::string>& argv, const std::vector<std::string>& environment = {});

// The full path of `name` on PATH, empty when it is not there.
std::string FindOnPath(const std::string& name);

}  // namespace frontends::posix
