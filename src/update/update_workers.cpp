#include "update/update_workers.h"

#include <thread>

#include "update/full_install_worker.h"
#include "update/gamedir/partial_downloads.h"
#include "update/manifest_update.h"
#include "update/normal_update_worker.h"
#include "update/server_fetch.h"
#include "update/site/game_files.h"

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

}  // namespace

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
        if (!ReceiveServerDocument(s, p)) return;
        if (s.ends.verifyFromSite) {
          VerifyFromSite(s, p);
        } else {
          (s.needFullInstall ? FullInstallWorker : NormalUpdateWorker)(s, p);
        }
      },
      state, platform);
}
