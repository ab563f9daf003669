#include "update/archive_install.h"
#include "update/game_files.h"
#include "update/self_update.h"
#include "update/update_workflow.h"

namespace {

// Unpacks a patch into the game directory; every file it overwrites is
// moved aside first as "tmpFile" + N so that a failed update loses nothing.
bool InstallPatchArchive(LauncherState& state) {
  CleanMovedAsideFiles();
  ArchiveInstall how;
  how.asideName = [&state] { return MovedAsideName(state.renameCounter++); };
  const ArchiveInstallResult result = InstallArchive(kPatchArchive, how, state.progress);
  if (result.outcome == ArchiveOutcome::Unreadable) {
    return false;
  }
  DeleteFileIfPresent(kPatchArchive);
  return result.outcome == ArchiveOutcome::Installed;
}

}  // namespace

bool InstallItem(LauncherState& state, const UpdateFileItem& item) {
  if (item.Type == "normal") {
    return InstallPatchArchive(state);
  }
  if (item.Type == "farLaunch") {
    return InstallLauncherArchive(state);
  }
  return true;
}
