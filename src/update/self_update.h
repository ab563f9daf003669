#pragma once
// The launcher replacing its own executable, the restart that follows, and
// the clean-up of the launcher's leftover files in the game directory.
#include <string>

#include "platform/seam.h"
#include "update/launcher_state.h"

// Installs "update.zip": its first entry (the new launcher) replaces the
// file of the same name, which is moved aside as "tmpUpdate0" first. False
// when the archive cannot be opened or the entry cannot be written.
bool InstallLauncherArchive(LauncherState& state);

// Deletes the downloads and the stored server document.
void CleanTempFiles();

// Deletes "tmpFile0".."tmpFile9", then ".\tmpUpdate0".
void CleanMovedAsideFiles();

// Cleans up, stops the status timer, shows the message, starts
// ".\farLaunch.exe" again with `parameters` and ends this process. UI
// thread only.
void RestartLauncher(platform::Platform& platform, const std::string& message, const std::string& parameters);
