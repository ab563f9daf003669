#include "app/window_commands.h"

#include "net/partial_download.h"
#include "update/gamedir/temporary_files.h"
#include "update/gamedir/unpack_journal.h"
#include "update/launcher_messages.h"
#include "update/site/game_files.h"
#include "update/window_controls.h"

void OnWindowCommand(LauncherState& state, platform::Platform& platform, int controlId) {
  // Searched in order; the first matching range handles the command.
  if (controlId >= 2031 && controlId <= 2033) {
    return;
  }
  if (controlId >= 2021 && controlId <= 2022) {
    CloseWithConfirmation(state, platform);
    return;
  }
  if (controlId >= 2025 && controlId <= 2062) {
    if (controlId == controls::MinimiseButton) {
      platform.GetWindow().Minimise();
    }
    return;
  }
  if (controlId == controls::ClearCacheButton) {
    ClearCache(state);
  }
}

void CloseWithConfirmation(LauncherState& state, platform::Platform& platform) {
  UpdateProgress& progress = state.progress;
  // The whole unpack of the full package is protected by the question; a
  // patch being unpacked is put back without one, as nothing is lost.
  if (progress.unpacking.load() == Unpacking::FullPackage && !state.fullPackageStopped) {
    if (!platform.GetDialogs().AskOkCancel(Text(LauncherText::CloseWhileInstalling))) {
      return;
    }
    state.fullPackageStopped = true;
  }
  if (!progress.TryClaimTheEnd()) {
    progress.cancelInstall = true;
    state.closeParked = true;
    return;
  }
  if (state.fullPackageStopped) {
    // The entry being written when the installation stopped may be the
    // client itself, half written.
    DeleteFileIfPresent(kClientProgram);
  }
  PutBackUnfinishedEntry("the launcher was closed before it finished");
  // A download still under way stays a partial one, for the next start.
  StopPlacingDownloads();
  CleanTempFiles(state.FullPackageMadeThisRun());
  platform.GetSystem().Exit(0);
}

void FinishParkedClose(LauncherState& state, platform::Platform& platform) {
  if (state.closeParked && state.progress.TryClaimTheEnd()) {
    CloseWithConfirmation(state, platform);
  }
}

void ClearCache(LauncherState& state) {
  DeleteFileIfPresent(".\\QZ_game.pkg");
  DeleteFileIfPresent(kClientProgram);
  state.cacheCleared = true;
}
