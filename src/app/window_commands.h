#pragma once
// What the window's buttons do.
#include "platform/seam.h"
#include "update/gamedir/launcher_state.h"

// Dispatches a button click by control id (the window's command table).
void OnWindowCommand(LauncherState& state, platform::Platform& platform, int controlId);

// Ends the launcher after clean-up, the entry under way put back. While
// the full package unpacks it asks first and stops the installation; an
// archive being unpacked is stopped and put back: the close is then parked
// until the files are settled (FinishParkedClose). Returns when the user
// cancels or the close is parked.
void CloseWithConfirmation(LauncherState& state, platform::Platform& platform);

// Timer: ends a parked close once no unpack runs.
void FinishParkedClose(LauncherState& state, platform::Platform& platform);

// Deletes the local package and client; the next tick restarts the launcher.
void ClearCache(LauncherState& state);
