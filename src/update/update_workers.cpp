#include <thread>

#include "update/site/failure_log.h"
#include "update/site/game_files.h"
#include "update/launcher_messages.h"
#include "update/gamedir/partial_downloads.h"
#include "update/update_workflow.h"
#include "update/window_controls.h"

namespace {

using Worker = void (*)(LauncherState&, platform::Platform&);

// The program's worker runs detached and dies with the process; its last
// touch of the shared state is clearing `workerRunning`.
void StartDetached(Worker worker, LauncherState& state, platform::Platform& platform) {
  state.progress.workerRunning = true;
  std::thread([worker, &state, &platform] {
    try {
      worker(state, platform);
    } catch (const platform::ExitRequested&) {
      // A test double ended the "process"; the worker just stops.
    }
    state.progress.workerRunning = false;
  }).detach();
}

// UpdateBlockAddr is how a publisher moves its server, but publishers also
// take it for the page shown to a cut-off version: the next start's
// address changes only when a start would accept the document there.
void SwitchToTheBlockAddress(LauncherState& state, platform::Platform& platform) {
  AcceptedDocument probed;
  if (AcceptServerDocument(state.UpdateBlockAddr, state, platform, probed)) {
    state.UpdateServerAddr = state.UpdateBlockAddr;
  } else {
    LogFailure("UpdateBlockAddr", state.UpdateBlockAddr,
               "no server document a start would accept: the next start keeps " + state.UpdateServerAddr);
  }
}

}  // namespace

bool IsNewerPackage(const std::string& code, const std::string& installed) {
  // std::string compares through char_traits<char>, which orders bytes as
  // unsigned characters, a prefix first.
  return installed.compare(code) < 0;
}

bool ReceiveServerDocument(LauncherState& state, platform::Platform& platform) {
  const bool fetched = FetchServerDocument(state, platform);
  if (!fetched || !LoadServerDocument(state)) {
    // A stored document that is no server document does not stay; a
    // refused fetch never reached the stored one.
    if (fetched) DeleteFileIfPresent(kServerDocument);
    state.progress.stage.store(ServerConfigRetry, std::memory_order_release);
    return false;
  }
  CleanUnneededPartials(state);
  state.progress.documentRead.store(true, std::memory_order_release);
  return true;
}

void StartUpdate(LauncherState& state, platform::Platform& platform) {
  // The fetch and the update that follows it share one worker: no network
  // wait ever holds the window.
  StartDetached(
      [](LauncherState& s, platform::Platform& p) {
        if (ReceiveServerDocument(s, p)) (s.needFullInstall ? FullInstallWorker : NormalUpdateWorker)(s, p);
      },
      state, platform);
}

bool WriteBack(LauncherState& state, platform::Platform& platform, std::size_t index, std::string& problem) {
  if (!state.UpdateBlockAddr.empty() && state.UpdateBlockAddr != state.UpdateServerAddr) {
    SwitchToTheBlockAddress(state, platform);
  }
  const VersionEntry& entry = state.entries[index];
  if (!SaveVersionDocument(entry.MainVersion, entry.SubVersion, entry.FileVersion, entry.PackageCode,
                           state.UpdateServerAddr, state.ForceUpdateVersion)) {
    // The base library has logged the system's reason.
    problem = "cannot be saved";
    return false;
  }
  if (index + 1 == state.entries.size()) state.progress.newestRecorded = true;
  const std::string label =
      Text(LauncherText::CurrentVersionPrefix) + entry.MainVersion + "." + entry.SubVersion + "." + entry.FileVersion;
  platform.GetUiThread().RunOnUiThread(
      [&platform, label] { platform.GetWindow().SetLabelText(controls::CurrentVersionLabel, label); });
  CleanTempFiles(state);
  return true;
}
