#pragma once
// The version an update installed, recorded in updatecfg.xml (and the
// server's new address, when the publisher moved it).
#include <cstddef>
#include <string>

#include "platform/seam.h"
#include "update/gamedir/launcher_state.h"

// Records entry `index` as the installed version in updatecfg.xml. False,
// with `problem` saying why, when the document cannot be saved.
bool WriteBack(LauncherState& state, platform::Platform& platform, std::size_t index, std::string& problem);
