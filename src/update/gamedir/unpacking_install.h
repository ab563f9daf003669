#pragma once
// An install into the game's files, run in the unpack's mark so that
// neither the game launch nor the close button cuts into it.
#include <utility>

#include "update/site/archive_install.h"
#include "update/site/update_progress.h"

// Runs `install` (a callable returning an ArchiveInstallResult) while the
// mark is held. When the process is ending the mark cannot be entered:
// nothing is touched, and the install is Cancelled.
template <typename Install>
ArchiveInstallResult InstallWhileUnpacking(UpdateProgress& progress, Install&& install) {
  UnpackingScope unpacking(progress, Unpacking::Archive);
  if (!unpacking.Entered()) {
    ArchiveInstallResult ending;
    ending.outcome = ArchiveOutcome::Cancelled;
    ending.reason = "the launcher is ending";
    return ending;
  }
  return std::forward<Install>(install)();
}
