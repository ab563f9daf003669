#include "app/cfarlaunch_app.h"

#include <string>

#include "app/cfarlaunch_dlg.h"
#include "net/partial_download.h"
#include "update/gamedir/temporary_files.h"
#include "update/gamedir/unpack_journal.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"

namespace {

// A signal that cuts the update short ends the process as a failure, in the
// window as on the console: whoever sent it (a log-out, a service manager,
// a script) learns that the game was not brought up to date.
constexpr int kCutShortExitCode = 1;

// The words for the signals that close the launcher.
std::string SignalName(int signal) {
  switch (signal) {
    case 1: return "SIGHUP";
    case 2: return "SIGINT";
    case 15: return "SIGTERM";
    default: return "signal " + std::to_string(signal);
  }
}

}  // namespace

void CfarLaunchApp::InitInstance() {
  CfarLaunchDlg dialog(platform_, ends_, failureEcho_);
  dialog.OnInitDialog();
  const int closed = platform_.Run(dialog);
  LauncherState& state = dialog.State();
  const bool updating = state.progress.workerRunning;
  // No file is cut mid-write: an unpack is stopped (a patch put back, a
  // full install left for the next start) before the process ends.
  state.progress.cancelInstall = true;
  state.progress.AwaitTheEnd();
  const bool bySignal = closed > platform::kClosedBySignal;
  const std::string why =
      bySignal ? SignalName(closed - platform::kClosedBySignal) + " stopped the launcher" : "the window was closed";
  PutBackUnfinishedEntry(why + " before the update finished");
  const bool finished =
      state.updateFinished || state.progress.completion.load() != Pending || state.progress.newestRecorded;
  const bool cutShort = bySignal && updating && !finished;
  if (cutShort) LogFailure("update", "", why + " before the update finished");
  // A signal ends the launcher as its close button does, downloads and
  // stored document cleaned up; the window manager's close never did. A
  // detached worker's download that finishes after the clean-up would be
  // left behind: none is placed any more.
  if (bySignal) {
    StopPlacingDownloads();
    CleanTempFiles(state.FullPackageMadeThisRun());
  }
  // Detached workers still use the dialog's state: the process ends here,
  // before the dialog goes away.
  platform_.GetSystem().Exit(cutShort ? kCutShortExitCode : bySignal ? 0 : closed);
}
