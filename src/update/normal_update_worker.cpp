#include "update/normal_update_worker.h"


#include "update/chain/install_item.h"
#include "update/gamedir/item_downloads.h"
#include "update/gamedir/temporary_files.h"
#include "update/gamedir/unpacking_install.h"
#include "update/manifest_update.h"
#include "update/site/address_scheme.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"
#include "update/site/trust_files.h"
#include "update/site/update_documents.h"
#include "update/version_record.h"
#include "update/worker_steps.h"

namespace {

// Installs a downloaded item into the entry. A failed or cancelled install
// puts the entry back before the unpack's mark drops, so neither the game
// launch nor the close button finds the game half patched.
ArchiveInstallResult InstallIntoRun(LauncherState& state, const UpdateFileItem& item, const std::string& downloaded,
                                    PatchTransaction& run) {
  return InstallWhileUnpacking(state.progress, [&] {
    ArchiveInstallResult installed = InstallItem(state, item, downloaded, run);
    ArchiveInstallResult outcome{installed.outcome, {}, installed.reason};
    run.Record(std::move(installed));
    if (outcome.outcome != ArchiveOutcome::Installed) {
      run.RollBack();
    }
    if (outcome.outcome == ArchiveOutcome::Cancelled) {
      outcome.reason = "cancelled; the entry's files were put back";
    }
    return outcome;
  });
}

// An untyped item's download takes the place, and the spelling, of the
// game file it names: the file there is moved aside into the entry first,
// so that a failure later in the entry puts it back. Done in the unpack's
// mark, as an archive's install is, so a download that a signal or a
// launch abandoned never lands on the game after its entry was put back.
ArchiveInstallResult PlaceIntoRun(LauncherState& state, const std::string& downloaded, const std::string& target,
                                  PatchTransaction& run) {
  return InstallWhileUnpacking(state.progress, [&] {
    ArchiveInstallResult result;
    const std::string name = SpellingOnDisk(target);
    const std::string aside = FreeAsideName(state.renameCounter);
    if (!run.PlanFile(name, aside, result.reason)) return result;
    MoveFileAside(name, aside);
    if (!MoveFileAside(downloaded, name)) {
      result.outcome = ArchiveOutcome::Incomplete;
      result.reason = "the download cannot take the place of " + name;
      return result;
    }
    result.outcome = ArchiveOutcome::Installed;
    return result;
  });
}

// Records entry `index` and lets its originals go. False when the process
// is ending meanwhile: the way out puts the entry back.
bool CommitEntry(LauncherState& state, platform::Platform& platform, std::size_t index, PatchTransaction& run) {
  std::string problem;
  {
    UnpackingScope committing(state.progress, Unpacking::Archive);
    if (!committing.Entered()) return false;
    if (WriteBack(state, platform, index, problem)) {
      run.Commit();
      return true;
    }
  }
  FailUpdate(state, platform, run, LauncherText::ItemInstallFailed, Failure{kVersionDocumentName, {}, problem});
}

// Downloads and installs item `itemNumber` of the entry `run` records.
// The failures end the process; false after a cancel, the run put back.
bool ProcessItem(LauncherState& state, platform::Platform& platform, const std::string& packageCode,
                 std::size_t itemNumber, const UpdateFileItem& item, PatchTransaction& run) {
  Failure failure{item.TargetFileName, item.SourceFileAddr, {}};
  const AddressScheme scheme = SchemeOf(item.SourceFileAddr);
  if (scheme != AddressScheme::Http) {
    if (scheme == AddressScheme::Ftp) {
      platform.GetDialogs().ShowMessage(Text(LauncherText::FtpNotAvailable));
    }
    failure.reason = UnfetchableReason(item.SourceFileAddr);
    FailUpdate(state, platform, run, LauncherText::ItemDownloadFailed, failure);
  }
  const bool untyped = IsUntypedItem(item);
  // The server names the file of an untyped item; it must not leave the
  // game directory.
  if (untyped && !IsInsideGameDirectory(item.TargetFileName)) {
    failure.reason = "the file name " + item.TargetFileName + " leaves the game directory";
    FailUpdate(state, platform, run, LauncherText::ItemInstallFailed, failure);
  }
  if (untyped && !state.Verified() && IsTrustFile(item.TargetFileName)) {
    LogFailure(item.TargetFileName, item.SourceFileAddr, kUnverifiedTrustFile);
    return true;
  }
  const std::string localName = ItemDownloadName(packageCode, itemNumber);
  const DownloadResult download = FetchFile(state, platform, item.SourceFileAddr, localName, item.check);
  if (!download) {
    failure.reason = download.reason;
    FailUpdate(state, platform, run, LauncherText::ItemDownloadFailed, failure);
  }
  if (IsArchiveItem(item) && !RoomToUnpack(platform, ArchiveContentBytes(localName).value_or(0), failure.reason)) {
    FailUpdate(state, platform, run, LauncherText::DiskSpaceLow, failure);
  }
  const ArchiveInstallResult installed = untyped ? PlaceIntoRun(state, localName, item.TargetFileName, run)
                                                 : InstallIntoRun(state, item, localName, run);
  if (installed.outcome == ArchiveOutcome::Cancelled) {
    LogFailure(item.TargetFileName, item.SourceFileAddr, installed.reason);
    return false;
  }
  if (installed.outcome != ArchiveOutcome::Installed) {
    failure.reason = installed.reason;
    FailUpdate(state, platform, run, LauncherText::ItemInstallFailed, failure);
  }
  return true;
}

}  // namespace

void NormalUpdateWorker(LauncherState& state, platform::Platform& platform) {
  if (state.ListedInstalledVersion() == nullptr) {
    state.progress.stage.store(CannotUpdate, std::memory_order_release);
    LogFailure("installed version " + state.PackageCode, state.UpdateServerAddr,
               "the server document does not list it any more");
    platform.GetDialogs().ShowMessage(Text(LauncherText::CutOffVersion));
    // The address may come from whoever answered: the browser gets web pages only, never a file or a handler.
    if (SchemeOf(state.UpdateBlockAddr) == AddressScheme::Http) {
      platform.GetShell().OpenInBrowser(state.UpdateBlockAddr);
    } else {
      LogFailure("UpdateBlockAddr", state.UpdateBlockAddr, "not opened in the browser: only http and https pages are");
    }
    EndIfAsked(state, platform);
    return;
  }

  if (UpdateFromManifest(state, platform)) return;

  const std::size_t last = state.entries.size() - 1;
  bool lastRecorded = false;
  for (std::size_t i = 0; i < state.entries.size() && !state.selfUpdated; ++i) {
    const VersionEntry& entry = state.entries[i];
    if (IsNewerPackage(entry.PackageCode, state.PackageCode)) {
      PatchTransaction run(entry.PackageCode);
      const std::vector<UpdateFileItem> items = FileItems(entry);
      // An entry with the launcher's item is installed whole too: the new
      // launcher goes on from its record after the restart.
      for (std::size_t j = 0; j < items.size(); ++j) {
        state.progress.AnnounceDownload(items[j].TargetFileName, static_cast<std::int32_t>(j + 1),
                                        static_cast<std::int32_t>(items.size()));
        if (!ProcessItem(state, platform, entry.PackageCode, j + 1, items[j], run)) {
          return;
        }
      }
      if (!CommitEntry(state, platform, i, run)) {
        return;
      }
      lastRecorded = i == last;
    }
    if (!state.selfUpdated) {
      state.progress.stage.store(EntryDone, std::memory_order_release);
    }
  }
  // With nothing newer at the end of the list, its last entry is recorded
  // all the same, as it always was.
  if (!state.selfUpdated && !lastRecorded) {
    PatchTransaction nothing;
    if (!CommitEntry(state, platform, last, nothing)) {
      return;
    }
  }
  Complete(state, platform);
}
