#pragma once
// The patch update with the client present: every newer entry's items, in
// document order, each entry a transaction of its own that its write-back
// commits. The game is always the release its record names.
#include "platform/seam.h"
#include "update/gamedir/launcher_state.h"

// Worker body (client present). It ends the process through the seam on
// the fatal paths.
void NormalUpdateWorker(LauncherState& state, platform::Platform& platform);
