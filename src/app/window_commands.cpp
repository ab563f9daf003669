#include "app/window_commands.h"

#include <chrono>
#include <thread>

#include "update/game_files.h"
#include "update/launcher_messages.h"
#include "update/window_controls.h"

namespace {

constexpr auto kInstallPollInterval = std::chrono::milliseconds(10);

bool FullInstallUnpacking(const UpdateProgress& progress) {
  const std::int32_t total = progress.totalInstallBytes;
  return total != 0 && progress.extractedBytes < total;
}

}  // namespace

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
  if (FullInstallUnpacking(progress)) {
    if (!platform.GetDialogs().AskOkCancel(Text(LauncherText::CloseWhileInstalling))) {
      return;
    }
    progress.cancelInstall = true;
    while (progress.installing) {
      std::this_thread::sleep_for(kInstallPollInterval);
    }
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
