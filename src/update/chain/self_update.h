#pragma once
// The launcher replacing its own executable, and the restart that follows.
#include <string>

#include "platform/seam.h"
#include "update/site/archive_install.h"
#include "update/gamedir/launcher_state.h"
#include "update/gamedir/patch_transaction.h"

// Installs the launcher's archive `archive`: its first entry (the new
// launcher) replaces the file of the same name, which is moved aside
// first: the running launcher as "tmpUpdate0", a launcher this run
// installed already as "tmpFile" + N. Sets `selfUpdated` once installed.
ArchiveInstallResult InstallLauncherArchive(LauncherState& state, const std::string& archive,
                                            PatchTransaction& entry);

// Waits for an unpack to end (asking it to stop), cleans up, stops the
// status timer, shows the message, starts the launcher again with the
// run's restart parameters and ends this process (with the failure exit
// code, the reason logged, when the new launcher cannot start). UI thread
// only.
void RestartLauncher(LauncherState& state, platform::Platform& platform, const std::string& message);
