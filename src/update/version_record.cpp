#include "update/version_record.h"

#include "update/gamedir/temporary_files.h"
#include "update/launcher_messages.h"
#include "update/server_fetch.h"
#include "update/site/failure_log.h"
#include "update/site/update_documents.h"
#include "update/window_controls.h"

namespace {

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
  CleanTempFiles(state.FullPackageMadeThisRun());
  return true;
}
