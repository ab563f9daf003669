#pragma once
// The restart into a new launcher (or after the cache was cleared), at the
// end of a run.
#include <string>

#include "platform/seam.h"
#include "update/gamedir/launcher_state.h"

// Waits for an unpack to end (asking it to stop), cleans up, stops the
// status timer, shows the message, starts the launcher again with the
// run's restart parameters and ends this process (with the failure exit
// code, the reason logged, when the new launcher cannot start). UI thread
// only.
void RestartLauncher(LauncherState& state, platform::Platform& platform, const std::string& message);
