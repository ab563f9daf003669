#include "app/page_bridge.h"

#include "app/page_request.h"
#include "base/text/ox_unicode.h"
#include "update/gamedir/temporary_files.h"
#include "update/gamedir/unpack_journal.h"
#include "update/launcher_messages.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"
#include "update/window_controls.h"

void HandlePageRequest(LauncherState& state, platform::Platform& platform, const std::string& pageText) {
  const PageRequest request = ReadPageRequest(pageText, state.updateFinished);
  switch (request.kind) {
    case PageRequest::Kind::BackAddress:
      // Park the whole text: the timer replays it once the update is done.
      state.pendingWebRequest = pageText;
      platform.GetWebPanel().Navigate(request.address.empty() ? state.pageUrl : request.address);
      break;
    case PageRequest::Kind::TooFewFields:
      platform.GetDialogs().ShowMessage(Text(LauncherText::LauncherVersionWrong));
      break;
    case PageRequest::Kind::Launch:
      LaunchClient(state, platform, request.fields);
      break;
    case PageRequest::Kind::None:
      break;
  }
}

std::string ClientParameters(const LauncherState& state, const std::vector<std::string>& f) {
  return "ur" + std::string(";ip=") + f[5] + ";port=" + f[6] + ";areaname=" + f[4] + ";tx_ip=" + f[10] +
         ";LT=" + state.LoginServer + ";UNAME=" + f[0] + ";SERIAL=" + f[1] + ";UID=" + f[2] + ";SERVERID=" + f[3] +
         ";SERVERNAME=" + f[4] + ";PayUrl=" + f[7] + ";Server=" + f[8] + ";Qid=" + f[9] + ";ClientUrl=" + f[11] +
         ";CurServerID=" + f[12];
}

namespace {

// The end is claimed: no unpack runs or starts.
[[noreturn]] void StartClient(LauncherState& state, platform::Platform& platform,
                              const std::vector<std::string>& record) {
  const std::string parameters = ClientParameters(state, record);
  PutBackUnfinishedEntry("the game was started before it finished");
  CleanTempFiles(state.FullPackageMadeThisRun());
  const platform::StartResult started = platform.GetShell().StartProgram(kClientProgram, parameters);
  if (!started) {
    const std::string problem = ox_base::Utf8ToCodePage(started.problem, ox_base::kLauncherCodePage);
    LogFailure("game client", kClientProgram, problem);
    platform.GetDialogs().ShowMessage(Text(LauncherText::ClientNotStarted) + problem);
    platform.GetSystem().Exit(state.ends.failureExitCode);
  }
  platform.GetSystem().Exit(0);
}

}  // namespace

void LaunchClient(LauncherState& state, platform::Platform& platform, const std::vector<std::string>& record) {
  // The client never starts on half-written files.
  if (!state.progress.TryClaimTheEnd()) {
    state.parkedLaunch = record;
    platform.GetWindow().SetLabelText(controls::StatusLabel, Text(LauncherText::StatusLaunchParked));
    return;
  }
  // Nor while a crash dump is on its way: the process ends with the start.
  if (state.crashDumpUploading.load(std::memory_order_acquire)) {
    state.parkedLaunch = record;
    return;
  }
  StartClient(state, platform, record);
}

void StartParkedLaunch(LauncherState& state, platform::Platform& platform) {
  if (!state.parkedLaunch) return;
  // An entry under way (its journal is there) is waited for until it is
  // recorded; a worker that is gone records nothing more.
  if (state.progress.workerRunning && FileExists(kUnpackJournal)) return;
  if (state.crashDumpUploading.load(std::memory_order_acquire)) return;
  if (!state.progress.TryClaimTheEnd()) return;
  StartClient(state, platform, *state.parkedLaunch);
}
