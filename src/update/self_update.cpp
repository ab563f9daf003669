#include "update/self_update.h"

#include <filesystem>
#include <system_error>

#include "base/ox_path.h"
#include "base/ox_unicode.h"
#include "update/failure_log.h"
#include "update/game_files.h"
#include "update/unpack_journal.h"
#include "update/update_workflow.h"
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

ArchiveInstallResult InstallLauncherArchive(LauncherState& state, PatchTransaction& entry) {
  ArchiveInstallResult result;
  // Each moved-aside name is used once in a run, so that every original
  // can be put back.
  const auto nextAside = [&state] {
    return state.selfUpdated ? FreeAsideName(state) : std::string(kLauncherAsideName);
  };
  if (!entry.PlanArchive(kLauncherArchive, true, nextAside, result.reason)) {
    return result;
  }
  ArchiveInstall how;
  how.firstEntryOnly = true;
  how.asideName = entry.AsideNames();
  result = InstallArchive(kLauncherArchive, how, state.progress);
  if (result.outcome == ArchiveOutcome::Installed) {
    MakeExecutable(result.entries.front().name);
    state.selfUpdated = true;
  }
  return result;
}

void RestartLauncher(LauncherState& state, platform::Platform& platform, const std::string& message) {
  // An unpack under way is stopped first; the next tick comes back.
  if (!state.progress.TryClaimTheEnd()) {
    state.progress.cancelInstall = true;
    return;
  }
  PutBackUnfinishedEntry("the launcher restarted before it finished");
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
