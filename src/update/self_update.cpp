#include "update/self_update.h"

#include <filesystem>
#include <system_error>

#include "base/ox_path.h"
#include "base/ox_unicode.h"
#include "update/failure_log.h"
#include "update/game_files.h"
#include "update/window_controls.h"

namespace {

// Archives carry no Unix permissions we trust; the new launcher must start.
void MakeExecutable(const std::string& name) {
  std::error_code error;
  std::filesystem::permissions(
      ox_base::NativePath(name),
      std::filesystem::perms::owner_exec | std::filesystem::perms::group_exec | std::filesystem::perms::others_exec,
      std::filesystem::perm_options::add, error);
}

}  // namespace

ArchiveInstallResult InstallLauncherArchive(LauncherState& state) {
  ArchiveInstall how;
  how.firstEntryOnly = true;
  how.trustFilesAllowed = state.Verified();
  // Each moved-aside name is used once in a run, so that every original
  // can be put back.
  how.asideName = [&state] {
    return state.selfUpdated ? MovedAsideName(state.renameCounter++) : std::string(kLauncherAsideName);
  };
  ArchiveInstallResult result = InstallArchive(kLauncherArchive, how, state.progress);
  // A skipped entry is no new launcher to restart into.
  if (result.outcome == ArchiveOutcome::Installed && result.entries.front().written) {
    MakeExecutable(result.entries.front().name);
    state.selfUpdated = true;
  }
  return result;
}

void RestartLauncher(LauncherState& state, platform::Platform& platform, const std::string& message) {
  state.progress.ClaimTheEnd([&state](Unpacking) {
    state.progress.cancelInstall = true;
    return true;
  });
  CleanMovedAsideFiles();
  CleanTempFiles();
  platform.GetUiThread().StopTimer(kStatusTimer);
  platform.GetDialogs().ShowMessage(message);
  const platform::StartResult restarted = platform.GetShell().StartProgram(kLauncherProgram, state.ends.restartParameters);
  if (!restarted) {
    LogFailure("restart", kLauncherProgram, ox_base::Utf8ToCodePage(restarted.problem, ox_base::kLauncherCodePage));
    platform.GetSystem().Exit(state.ends.failureExitCode);
  }
  platform.GetSystem().Exit(0);
}
