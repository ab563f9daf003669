#include "update/launcher_restart.h"

#include "base/text/ox_unicode.h"
#include "update/gamedir/temporary_files.h"
#include "update/gamedir/unpack_journal.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"
#include "update/window_controls.h"

void RestartLauncher(LauncherState& state, platform::Platform& platform, const std::string& message) {
  // An unpack under way is stopped first; the next tick comes back.
  if (!state.progress.TryClaimTheEnd()) {
    state.progress.cancelInstall = true;
    return;
  }
  PutBackUnfinishedEntry("the launcher restarted before it finished");
  CleanTempFiles(state.FullPackageMadeThisRun());
  platform.GetUiThread().StopTimer(kStatusTimer);
  platform.GetDialogs().ShowMessage(message);
  const platform::StartResult restarted = platform.GetShell().StartProgram(kLauncherProgram, state.ends.restartParameters);
  if (!restarted) {
    LogFailure("restart", kLauncherProgram, ox_base::Utf8ToCodePage(restarted.problem, ox_base::kLauncherCodePage));
    platform.GetSystem().Exit(state.ends.failureExitCode);
  }
  platform.GetSystem().Exit(0);
}
