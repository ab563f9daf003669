#include "app/window_commands.h"

#include "update/game_files.h"
#include "update/launcher_messages.h"
#include "update/window_controls.h"

void OnWindowCommand(LauncherState& state, platform::Platform& platform, int controlId) {
  // Searched in order; the first matching range handles the command.
  if (controlId >= 2031 && controlId <= 2033) {
    return;
  }
  if (controlId >= 2021 && controlId <= 2022) {
    ContinueClosing(state, platform);
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

void ContinueClosing(LauncherState& state, platform::Platform& platform) {
  UpdateProgress& progress = state.progress;
  Unpacking running = Unpacking::None;
  if (!progress.TryClaimTheEnd(running)) {
    // The whole unpack of the full package is protected by the question; a
    // patch being unpacked is put back without one, as nothing is lost.
    if (running == Unpacking::FullPackage && !state.fullPackageStopped) {
      if (!platform.GetDialogs().AskOkCancel(Text(LauncherText::CloseWhileInstalling))) {
        state.closePending = false;
        return;
      }
      state.fullPackageStopped = true;
    }
    progress.cancelInstall = true;
    // The status timer comes back until the unpack has stopped.
    state.closePending = true;
    return;
  }
  if (state.fullPackageStopped) {
    // The entry being written when the installation stopped may be the
    // client itself, half written.
    DeleteFileIfPresent(kClientProgram);
  }
  CleanMovedAsideFiles();
  CleanTempFiles();
  platform.GetSystem().Exit(0);
}

void ClearCache(LauncherState& state) {
  DeleteFileIfPresent(".\\QZ_game.pkg");
  DeleteFileIfPresent(kClientProgram);
  state.cacheCleared = true;
}
