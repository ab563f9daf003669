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
  bool fullPackageStopped = false;
  // The whole unpack of the full package is protected by the question; a
  // patch being unpacked is put back without one, as nothing is lost.
  const bool ending = progress.ClaimTheEnd([&](Unpacking running) {
    if (running == Unpacking::FullPackage && !fullPackageStopped) {
      if (!platform.GetDialogs().AskOkCancel(Text(LauncherText::CloseWhileInstalling))) {
        return false;
      }
      fullPackageStopped = true;
    }
    progress.cancelInstall = true;
    return true;
  });
  if (!ending) {
    return;
  }
  if (fullPackageStopped) {
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
