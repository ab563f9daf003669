#include "update/archive_install.h"
#include "update/game_files.h"
#include "update/self_update.h"
#include "update/update_workflow.h"

namespace {

// Unpacks a patch into the game directory; every file it overwrites is
// moved aside first as "tmpFile" + N, so that the run can put it back.
ArchiveInstallResult InstallPatchArchive(LauncherState& state) {
  ArchiveInstall how;
  how.asideName = [&state] { return MovedAsideName(state.renameCounter++); };
  how.trustFilesAllowed = state.Verified();
  ArchiveInstallResult result = InstallArchive(kPatchArchive, how, state.progress);
  if (result.outcome != ArchiveOutcome::Unreadable) {
    DeleteFileIfPresent(kPatchArchive);
  }
  return result;
}

}  // namespace

bool IsArchiveItem(const UpdateFileItem& item) { return item.Type == "normal" || item.Type == "farLaunch"; }

ArchiveInstallResult InstallItem(LauncherState& state, const UpdateFileItem& item) {
  if (item.Type == "normal") {
    return InstallPatchArchive(state);
  }
  if (item.Type == "farLaunch") {
    return InstallLauncherArchive(state);
  }
  ArchiveInstallResult nothingToUnpack;
  nothingToUnpack.outcome = ArchiveOutcome::Installed;
  return nothingToUnpack;
}
