#include "update/manifest_update.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <system_error>

#include "base/files/ox_atomic_save.h"
#include "base/files/ox_path.h"
#include "manifest/manifest_text.h"
#include "trust/sha256.h"

#include "update/manifest/game_verification.h"
#include "update/manifest/manifest_install.h"
#include "update/manifest/manifest_plan.h"
#include "update/manifest/manifest_staging.h"
#include "update/manifest/stage_folder.h"
#include "update/site/address_scheme.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"
#include "update/site/manifest_reading.h"
#include "update/site/object_content.h"
#include "update/site/trust_files.h"
#include "update/site/update_documents.h"
#include "update/version_record.h"
#include "update/worker_steps.h"

namespace {

// Where a manifest waits from its download until it is read.
constexpr char kManifestDownload[] = "farLaunch.download.manifest";

// Where a manifest the document names by its SHA-256 waits in the stage
// until the update is done: a run cut short does not fetch it again.
std::optional<std::string> StagedManifestName(const ManifestLink& link) {
  const std::optional<std::string> digest = ParseSha256Hex(link.Digest);
  if (!digest) return std::nullopt;
  return StagedName(*digest) + kStagedManifestSuffix;
}

bool CarriesLauncher(const VersionEntry& entry) {
  const std::vector<UpdateFileItem> items = FileItems(entry);
  return std::any_of(items.begin(), items.end(), [](const UpdateFileItem& item) { return item.Type == "farLaunch"; });
}

}  // namespace

bool Readable(const std::optional<ManifestLink>& link) { return link && link->Format == kManifestFormat; }

bool FetchManifest(LauncherState& state, platform::Platform& platform, const ManifestLink& link,
                   ReleaseManifest& manifest, std::string& problem) {
  if (SchemeOf(link.Href) != AddressScheme::Http) {
    problem = UnfetchableReason(link.Href);
    return false;
  }
  const std::optional<std::string> staged = StagedManifestName(link);
  if (staged && FileSha256(StagePath(*staged)) == *ParseSha256Hex(link.Digest) &&
      ReadManifestFrame(StagePath(*staged), manifest, problem)) {
    return true;
  }
  state.progress.AnnounceDownload(kKeptManifest, 1, 1);
  std::error_code ignored;
  if (staged) std::filesystem::create_directories(StagePath(kStageFolder), ignored);
  const std::string local = staged.value_or(kManifestDownload);
  const DownloadResult download = FetchFile(state, platform, link.Href, local, ManifestDownloadCheck(link));
  problem = download.reason;
  const bool read = download && ReadManifestFrame(PathOnDisk(local), manifest, problem);
  if (!staged || !read) DeleteFileIfPresent(local);
  return read;
}

bool KeepManifestOf(LauncherState& state, platform::Platform& platform, const VersionEntry& entry,
                    std::string& problem) {
  if (!Readable(entry.Manifest)) {
    problem = "the server document names no manifest of version " + entry.PackageCode + " that this launcher reads";
    return false;
  }
  ReleaseManifest manifest;
  const bool fetched = FetchManifest(state, platform, *entry.Manifest, manifest, problem);
  // Only an update waits for what it staged.
  if (const std::optional<std::string> staged = StagedManifestName(*entry.Manifest)) {
    DeleteFileIfPresent(*staged);
  }
  if (!fetched) return false;
  if (manifest.packageCode != entry.PackageCode) {
    problem = "it is the manifest of " + manifest.packageCode;
    return false;
  }
  return ox_base::SaveAtomically(ox_base::NativePath(kKeptManifest), ManifestText(manifest), true, problem);
}

void VerifyFromSite(LauncherState& state, platform::Platform& platform) {
  Failure failure{"the manifest of the installed version " + state.PackageCode, state.UpdateServerAddr, {}};
  const VersionEntry* installed = state.ListedInstalledVersion();
  if (installed == nullptr) {
    failure.reason = "the server document does not list it";
  } else {
    if (installed->Manifest) failure.address = installed->Manifest->Href;
    if (KeepManifestOf(state, platform, *installed, failure.reason)) {
      platform.GetSystem().Exit(state.ends.verifyFromSite() ? 0 : state.ends.failureExitCode);
    }
  }
  failure.reason += "; there is nothing to verify the game against";
  PatchTransaction nothing;
  FailUpdate(state, platform, nothing, LauncherText::ItemDownloadFailed, failure);
}

namespace {

// The installed release's manifest: the copy the game directory keeps
// when it is that release's, else the one the document names for it.
std::optional<ReleaseManifest> InstalledManifest(LauncherState& state, platform::Platform& platform) {
  ReleaseManifest manifest;
  std::string problem;
  if (FileExists(kKeptManifest) &&
      ReadManifestText(PathOnDisk(kKeptManifest), manifest, problem) &&
      manifest.packageCode == state.PackageCode) {
    return manifest;
  }
  const VersionEntry* installed = state.ListedInstalledVersion();
  if (installed == nullptr || !Readable(installed->Manifest)) return std::nullopt;
  if (FetchManifest(state, platform, *installed->Manifest, manifest, problem)) return manifest;
  // Without it, the files on disk are compared with the newest release.
  LogFailure("the manifest of the installed version " + state.PackageCode, installed->Manifest->Href, problem);
  return std::nullopt;
}

// A repair ends as a failure unless the game now matches its manifest.
void CheckRepair(LauncherState& state, platform::Platform& platform) {
  GameVerification after;
  Failure failure{"the repair", "", {}};
  if (VerifyInstalledGame(after, failure.reason) && after.faults.empty()) return;
  if (failure.reason.empty()) {
    failure.reason = "still damaged or missing:";
    for (const FileFault& fault : after.faults) failure.reason += " " + fault.name;
  }
  PatchTransaction nothing;
  FailUpdate(state, platform, nothing, LauncherText::ItemInstallFailed, failure);
}

}  // namespace

bool UpdateFromManifest(LauncherState& state, platform::Platform& platform) {
  const std::size_t newestIndex = state.entries.size() - 1;
  const VersionEntry& newestEntry = state.entries[newestIndex];
  const bool repairing = state.ends.repair.has_value();
  if (repairing && !Readable(newestEntry.Manifest)) {
    PatchTransaction nothing;
    FailUpdate(state, platform, nothing, LauncherText::ItemDownloadFailed,
               Failure{"the repair", state.UpdateServerAddr,
                       "the newest release (" + newestEntry.PackageCode +
                           ") names no manifest this launcher reads; a repair needs one"});
  }
  if (!(repairing || IsNewerPackage(newestEntry.PackageCode, state.PackageCode)) || !Readable(newestEntry.Manifest) ||
      std::any_of(state.entries.begin(), state.entries.end(), [&state](const VersionEntry& entry) {
        return IsNewerPackage(entry.PackageCode, state.PackageCode) && CarriesLauncher(entry);
      })) {
    // What a run killed after its record had staged is of no use now.
    RemoveStage();
    return false;
  }
  PatchTransaction run(newestEntry.PackageCode);
  const ManifestLink& link = *newestEntry.Manifest;
  ReleaseManifest newest;
  Failure failure{"the manifest of version " + newestEntry.PackageCode, link.Href, {}};
  // Until anything is installed, the patches are the way out of what stops
  // this way (a name it refuses, a limit, an object no source serves); a
  // repair has no other.
  const auto takeThePatches = [&](LauncherText message) {
    if (repairing) FailUpdate(state, platform, run, message, failure);
    LogFailure(failure.what, failure.address, failure.reason + "; the patches are taken instead");
    return false;
  };
  if (!FetchManifest(state, platform, link, newest, failure.reason)) {
    return takeThePatches(LauncherText::ItemDownloadFailed);
  }
  // A repair of a game that keeps no manifest compares the files on disk.
  const std::optional<ReleaseManifest> installed =
      repairing && !FileExists(kKeptManifest) ? std::nullopt : InstalledManifest(state, platform);
  ManifestPlan plan;
  failure.what = "the update to version " + newestEntry.PackageCode;
  if (!PlanManifestUpdate(installed ? &*installed : nullptr, newest, state.Verified(),
                          state.ends.repair.value_or(std::set<std::string>()), plan, failure.reason)) {
    return takeThePatches(LauncherText::ItemInstallFailed);
  }
  for (const PlannedFile& refused : plan.refusedTrustFiles) {
    LogFailure(refused.local, newest.objectsBase + ObjectName(refused.record.sha256), kUnverifiedTrustFile);
  }
  for (const ManifestPlan::KeptFile& kept : plan.kept) LogFailure(kept.local, "", KeptBecause(kept.reason));
  std::int64_t contentBytes = 0;
  for (const PlannedFile& file : plan.fetch) contentBytes += static_cast<std::int64_t>(file.record.size);
  if (!RoomToUnpack(platform, contentBytes, failure.reason)) {
    FailUpdate(state, platform, run, LauncherText::DiskSpaceLow, failure);
  }
  std::string siteRoot;
  if (!SiteSources::SiteRootOf(newest.objectsBase, siteRoot)) {
    failure.reason = "the manifest's objects address " + newest.objectsBase + " is no site's objects/ folder";
    return takeThePatches(LauncherText::ItemDownloadFailed);
  }
  SiteSources sources(siteRoot, link.Mirrors);
  if (!FetchChangedFiles(state, platform, sources, newest, plan, failure.address, failure.reason)) {
    // A full disk stops the patches as well.
    std::string reason = failure.reason;
    if (MessageFor(platform, LauncherText::ItemDownloadFailed, reason) == LauncherText::DiskSpaceLow ||
        state.progress.cancelInstall) {
      FailUpdate(state, platform, run, LauncherText::ItemDownloadFailed, failure);
    }
    return takeThePatches(LauncherText::ItemDownloadFailed);
  }
  const ArchiveInstallResult installedRun = InstallManifestUpdate(
      state, plan, newest, [&](std::string& problem) { return WriteBack(state, platform, newestIndex, problem); }, run);
  if (installedRun.outcome == ArchiveOutcome::Cancelled) {
    LogFailure(failure.what, "", installedRun.reason);
    return true;
  }
  if (installedRun.outcome != ArchiveOutcome::Installed) {
    failure.reason = installedRun.reason;
    FailUpdate(state, platform, run, LauncherText::ItemInstallFailed, failure);
  }
  if (repairing) CheckRepair(state, platform);
  state.progress.stage.store(EntryDone, std::memory_order_release);
  Complete(state, platform);
  return true;
}
