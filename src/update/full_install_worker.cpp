#include "update/full_install_worker.h"

#include <algorithm>

#include "base/init/ox_base.h"
#include "base/files/ox_file.h"
#include "update/chain/install_item.h"
#include "update/chain/self_update.h"
#include "update/gamedir/item_downloads.h"
#include "update/gamedir/temporary_files.h"
#include "update/manifest/game_verification.h"
#include "update/manifest/manifest_staging.h"
#include "update/manifest/stage_folder.h"
#include "update/manifest_update.h"
#include "update/site/address_scheme.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"
#include "update/site/trust_files.h"
#include "update/site/update_documents.h"
#include "update/version_record.h"
#include "update/window_controls.h"
#include "update/worker_steps.h"

namespace {

enum class PackageEnd { Installed, Failed, Cancelled };

// Logs why the package was not installed and shows the message.
PackageEnd PackageFailed(LauncherState& state, platform::Platform& platform, LauncherText message,
                         const std::string& reason) {
  LogFailure("full client package " + state.MiniTargetFileName, state.MiniSourceFileAddr, reason);
  platform.GetDialogs().ShowMessage(Text(message));
  return PackageEnd::Failed;
}

// Too little room ends the launcher before anything is unpacked.
[[noreturn]] void EndForLackOfRoom(LauncherState& state, platform::Platform& platform, const std::string& problem) {
  // The downloads go first: on a full disk they make room for the log.
  CleanTempFiles(state.FullPackageMadeThisRun());
  LogFailure("full client package " + state.MiniTargetFileName, state.MiniSourceFileAddr, problem);
  platform.GetDialogs().ShowMessage(Text(LauncherText::DiskSpaceLow));
  platform.GetUiThread().RunOnUiThread([&platform] { platform.GetUiThread().StopTimer(kStatusTimer); });
  platform.GetSystem().Exit(state.ends.failureExitCode);
}

// Downloads and unpacks the full client package. The marker tells a later
// start that the install did not finish, whatever the package left behind.
PackageEnd InstallFullPackage(LauncherState& state, platform::Platform& platform) {
  UpdateProgress& progress = state.progress;
  const std::string& package = state.MiniTargetFileName;
  if (SchemeOf(state.MiniSourceFileAddr) != AddressScheme::Http) {
    return PackageFailed(state, platform, LauncherText::PackageDownloadFailed,
                         UnfetchableReason(state.MiniSourceFileAddr));
  }
  progress.AnnounceDownload(package, 1, 1);
  // The server names the package file; it must not leave the game directory.
  if (!IsInsideGameDirectory(package)) {
    return PackageFailed(state, platform, LauncherText::PackageDownloadFailed,
                         "the file name " + package + " leaves the game directory");
  }
  if (!state.Verified() && IsTrustFile(package)) {
    return PackageFailed(state, platform, LauncherText::PackageDownloadFailed, kUnverifiedTrustFile);
  }
  // Kept whole with its sidecar until it is installed: a run cut off in
  // its unpack leaves it for the next to unpack again.
  const DownloadResult download =
      FetchFile(state, platform, state.MiniSourceFileAddr, package, state.MiniSourceFileCheck, true);
  if (!download) {
    return PackageFailed(state, platform, LauncherText::PackageDownloadFailed, download.reason);
  }
  state.fullPackageDownloaded.store(true, std::memory_order_release);

  progress.stage.store(Installing, std::memory_order_release);
  const std::optional<std::int64_t> total = ArchiveContentBytes(package);
  progress.totalInstallBytes = total.value_or(0);
  std::string problem;
  if (total && !RoomToUnpack(platform, *total, problem)) {
    EndForLackOfRoom(state, platform, problem);
  }
  // The base library logs why a save fails.
  if (!ox_base::OxBase::GetFileSystem()->ReplaceContents(kFullInstallMarker, state.MiniSourceFileAddr + "\n", false)) {
    return PackageFailed(state, platform, LauncherText::ItemInstallFailed,
                         std::string(kFullInstallMarker) + " cannot be written");
  }
  ArchiveInstallResult result;
  {
    UnpackingScope unpacking(progress, Unpacking::FullPackage);
    if (!unpacking.Entered()) {
      return PackageEnd::Cancelled;
    }
    // The package overwrites what is there: it is the whole client.
    ArchiveInstall how;
    how.trustFilesAllowed = state.Verified();
    result = InstallArchive(package, how, progress);
    // A cut-off unpack leaves the package for the next start, before the
    // launcher's end (waiting for this scope) deletes what the run made.
    if (result.outcome == ArchiveOutcome::Cancelled || progress.cancelInstall) {
      state.fullPackageDownloaded.store(false, std::memory_order_release);
    }
  }
  if (result.outcome == ArchiveOutcome::Cancelled || progress.cancelInstall) {
    LogFailure("full client package " + package, state.MiniSourceFileAddr,
               "cancelled; the next start installs it again");
    return PackageEnd::Cancelled;
  }
  progress.stage.store(InstallDone, std::memory_order_release);
  if (result.outcome != ArchiveOutcome::Installed) {
    return PackageFailed(state, platform, LauncherText::ItemInstallFailed, result.reason);
  }
  return PackageEnd::Installed;
}

// The newest release's manifest, kept after its full package as an update
// keeps it, and what the package wrote recorded (hashed against it): the
// next update, --verify and --repair start from them.
void KeepReleaseManifest(LauncherState& state, platform::Platform& platform) {
  const VersionEntry& newest = state.entries.back();
  if (!Readable(newest.Manifest)) return;
  std::string problem;
  const bool kept = KeepManifestOf(state, platform, newest, problem);
  // A full install stages nothing else.
  RemoveStage();
  GameVerification found;
  if (kept && VerifyInstalledGame(found, problem)) {
    for (const FileFault& fault : found.faults) {
      LogFailure(fault.name, state.MiniSourceFileAddr, "the full package's file is not the manifest's");
    }
    return;
  }
  LogFailure("the manifest of version " + newest.PackageCode, newest.Manifest->Href,
             problem + "; the game keeps none, so --verify cannot check it");
}

// Downloads and installs the first launcher item of every newer entry; the
// full package stands for the other items. A launcher that cannot be
// installed is put back and the run goes on.
void InstallNewerLaunchers(LauncherState& state, platform::Platform& platform, PatchTransaction& launchers) {
  for (const VersionEntry& entry : state.entries) {
    if (!IsNewerPackage(entry.PackageCode, state.PackageCode)) {
      continue;
    }
    const std::vector<UpdateFileItem> items = FileItems(entry);
    const auto launcher =
        std::find_if(items.begin(), items.end(), [](const UpdateFileItem& item) { return item.Type == "farLaunch"; });
    if (launcher == items.end()) {
      continue;
    }
    if (SchemeOf(launcher->SourceFileAddr) != AddressScheme::Http) {
      LogFailure(launcher->TargetFileName, launcher->SourceFileAddr, UnfetchableReason(launcher->SourceFileAddr));
      continue;
    }
    const std::string archive =
        ItemDownloadName(entry.PackageCode, static_cast<std::size_t>(launcher - items.begin()) + 1);
    const DownloadResult download = FetchFile(state, platform, launcher->SourceFileAddr, archive, launcher->check);
    if (!download) {
      LogFailure(launcher->TargetFileName, launcher->SourceFileAddr, download.reason);
      continue;
    }
    ArchiveInstallResult installed;
    {
      UnpackingScope unpacking(state.progress, Unpacking::Archive);
      if (!unpacking.Entered()) {
        return;
      }
      installed = InstallItem(state, *launcher, archive, launchers);
      if (installed.outcome != ArchiveOutcome::Installed) {
        PutBack(installed);
      } else {
        launchers.Record(installed);
      }
    }
    if (installed.outcome != ArchiveOutcome::Installed) {
      LogFailure(launcher->TargetFileName, launcher->SourceFileAddr, installed.reason);
      CleanTempFiles(state.FullPackageMadeThisRun());
      platform.GetDialogs().ShowMessage(Text(LauncherText::ItemInstallFailed));
    }
  }
}

}  // namespace

void FullInstallWorker(LauncherState& state, platform::Platform& platform) {
  state.progress.totalInstallBytes = 0;
  const PackageEnd package = InstallFullPackage(state, platform);
  if (package == PackageEnd::Cancelled) {
    // The close command takes over.
    return;
  }

  PatchTransaction launchers(state.entries.empty() ? std::string() : state.entries.back().PackageCode);
  InstallNewerLaunchers(state, platform, launchers);
  if (!FileExists("updatecfg.xml") && FileExists("updatecfg_tmp.xml")) {
    MoveFileAside("updatecfg_tmp.xml", "updatecfg.xml");
  }
  if (package == PackageEnd::Installed && !state.entries.empty()) {
    std::string problem;
    if (!WriteBack(state, platform, state.entries.size() - 1, problem)) {
      FailUpdate(state, platform, launchers, LauncherText::ItemInstallFailed,
                 Failure{kVersionDocumentName, {}, problem});
    }
    DeleteFileIfPresent(kFullInstallMarker);
    KeepReleaseManifest(state, platform);
  }
  {
    // A new launcher stands whether or not the package was installed: the
    // restart runs it.
    UnpackingScope committing(state.progress, Unpacking::Archive);
    if (committing.Entered()) launchers.Commit();
  }
  if (state.selfUpdated || package == PackageEnd::Installed) {
    Complete(state, platform);
  } else {
    // Without the package there is no client to record or to start.
    state.progress.stage.store(CannotUpdate, std::memory_order_release);
    EndIfAsked(state, platform);
  }
}
