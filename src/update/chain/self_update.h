#pragma once
// The launcher replacing its own executable (the restart that follows is
// launcher_restart.h).
#include <string>

#include "platform/seam.h"
#include "update/gamedir/launcher_state.h"
#include "update/gamedir/patch_transaction.h"
#include "update/site/archive_install.h"

// Installs the launcher's archive `archive`: its first entry (the new
// launcher) replaces the file of the same name, which is moved aside
// first: the running launcher as "tmpUpdate0", a launcher this run
// installed already as "tmpFile" + N. Sets `selfUpdated` once installed.
ArchiveInstallResult InstallLauncherArchive(LauncherState& state, const std::string& archive,
                                            PatchTransaction& entry);
