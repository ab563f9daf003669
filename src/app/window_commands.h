#pragma once
// What the window's buttons do.
#include "platform/seam.h"
#include "update/launcher_state.h"

// Dispatches a button click by control id (the window's command table).
void OnWindowCommand(LauncherState& state, platform::Platform& platform, int controlId);

// The close button, and each status tick while its close is pending: ends
// the launcher after clean-up once no unpack runs. While the full package
// unpacks it asks first and stops the installation; an archive being
// unpacked is stopped and put back. Never waits: while the files settle,
// `closePending` stays set for the next tick.
void ContinueClosing(LauncherState& state, platform::Platform& platform);

// Deletes the local package and client; the next tick restarts the launcher.
void ClearCache(LauncherState& state);
