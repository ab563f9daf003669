#pragma once
// The full install when the client is missing (or a full install was left
// unfinished): the client package, then the launcher items of newer entries.
#include "platform/seam.h"
#include "update/gamedir/launcher_state.h"

// Worker body (client missing). It ends the process through the seam on
// the fatal paths.
void FullInstallWorker(LauncherState& state, platform::Platform& platform);
