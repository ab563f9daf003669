#include "update/self_update.h"

#include <filesystem>
#include <system_error>

#include "base/ox_path.h"
#include "update/archive_install.h"
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

bool InstallLauncherArchive(LauncherState& state) {
  CleanMovedAsideFiles();
  ArchiveInstall how;
  how.firstEntryOnly = true;
  how.asideName = [] { return std::string(kLauncherAsideName); };
  const ArchiveInstallResult result = InstallArchive(kLauncherArchive, how, state.progress);
  if (result.outcome != ArchiveOutcome::Installed) {
    return false;
  }
  MakeExecutable(result.entries.front().name);
  state.selfUpdated = true;
  return true;
}

void RestartLauncher(platform::Platform& platform, const std::string& message, const std::string& parameters) {
  CleanMovedAsideFiles();
  CleanTempFiles();
  platform.GetUiThread().StopTimer(kStatusTimer);
  platform.GetDialogs().ShowMessage(message);
  platform.GetShell().StartProgram(kLauncherProgram, parameters);
  platform.GetSystem().Exit(0);
}
