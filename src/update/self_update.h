#pragma once
// The launcher replacing its own executable, and the restart that follows.
#include <string>

#include "platform/seam.h"
#include "update/launcher_state.h"

// Installs the launcher's archive: its first entry (the new launcher)
// replaces the file of the same name, which is moved aside as "tmpUpdate0"
// first. False when the archive cannot be opened or the entry cannot be
// written.
bool InstallLauncherArchive(LauncherState& state);

// Cleans up, stops the status timer, shows the message, starts the launcher
// again with `parameters` and ends this process. UI thread only.
void RestartLauncher(platform::Platform& platform, const std::string& message, const std::string& parameters);
