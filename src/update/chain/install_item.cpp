#include "update/chain/install_item.h"

#include "update/chain/self_update.h"
#include "update/gamedir/temporary_files.h"
#include "update/site/archive_install.h"
#include "update/site/game_files.h"

namespace {

// Unpacks a patch into the game directory; every file it overwrites is
// moved aside first as "tmpFile" + N, so that the entry can put it back.
ArchiveInstallResult InstallPatchArchive(LauncherState& state, const std::string& archive, PatchTransaction& entry) {
  ArchiveInstallResult result;
  if (!entry.PlanArchive(archive, false, [&state] { return FreeAsideName(state.renameCounter); }, result.reason)) {
    return result;
  }
  ArchiveInstall how;
  how.asideName = entry.AsideNames();
  how.trustFilesAllowed = state.Verified();
  result = InstallArchive(archive, how, state.progress);
  if (result.outcome != ArchiveOutcome::Unreadable) {
    DeleteFileIfPresent(archive);
  }
  return result;
}

}  // namespace

ArchiveInstallResult InstallItem(LauncherState& state, const UpdateFileItem& item, const std::string& downloaded,
                                 PatchTransaction& entry) {
  if (item.Type == "normal") {
    return InstallPatchArchive(state, downloaded, entry);
  }
  if (item.Type == "farLaunch") {
    return InstallLauncherArchive(state, downloaded, entry);
  }
  ArchiveInstallResult nothingToUnpack;
  nothingToUnpack.outcome = ArchiveOutcome::Installed;
  return nothingToUnpack;
}
