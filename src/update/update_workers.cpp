#include <algorithm>
#include <cstdint>
#include <optional>
#include <thread>

#include "net/http_downloader.h"
#include "update/archive_install.h"
#include "update/game_files.h"
#include "update/launcher_messages.h"
#include "update/update_workflow.h"
#include "update/window_controls.h"

namespace {

constexpr std::int64_t kInstallHeadroomBytes = 0x1000000;

std::string SchemeOf(const std::string& address) { return address.substr(0, address.find(':')); }

// Where a downloaded item is stored, by its type.
std::string LocalNameOf(const UpdateFileItem& item) {
  if (item.Type == "farLaunch") return kLauncherArchive;
  if (item.Type == "package") return kPackageDownload;
  if (item.Type == "normal") return kPatchArchive;
  return item.TargetFileName;
}

void FailUpdate(const LauncherState& state, platform::Platform& platform, LauncherText message) {
  CleanTempFiles();
  platform.GetDialogs().ShowMessage(Text(message));
  platform.GetSystem().Exit(state.ends.failureExitCode);
}

// Downloads and installs one item of a newer entry; the fatal paths end the
// process.
void ProcessItem(LauncherState& state, platform::Platform& platform, const UpdateFileItem& item) {
  const std::string scheme = SchemeOf(item.SourceFileAddr);
  if (scheme == "ftp") {
    platform.GetDialogs().ShowMessage(Text(LauncherText::FtpNotAvailable));
    return;
  }
  if (scheme != "http") {
    return;
  }
  const std::string localName = LocalNameOf(item);
  // The server names the file of an untyped item; it must not leave the
  // game directory.
  if (!IsInsideGameDirectory(localName)) {
    FailUpdate(state, platform, LauncherText::ItemInstallFailed);
  } else if (!HttpDownloader::DownloadFile(item.SourceFileAddr, localName, platform.GetUiThread())) {
    FailUpdate(state, platform, LauncherText::ItemDownloadFailed);
  } else if (!InstallItem(state, item)) {
    FailUpdate(state, platform, LauncherText::ItemInstallFailed);
  }
}

// Unpacks the full client package. False when it could not be opened or an
// entry could not be written; ends the worker's part (returning false with
// `cancelled` set) when the close command asks it to stop.
bool UnpackFullPackage(LauncherState& state, platform::Platform& platform, bool& cancelled) {
  UpdateProgress& progress = state.progress;
  const std::optional<std::int64_t> total = ArchiveContentBytes(state.MiniTargetFileName);
  if (!total) {
    progress.totalInstallBytes = 0;
    return false;
  }
  progress.totalInstallBytes = static_cast<std::int32_t>(*total);

  std::uint64_t freeBytes = 0;
  if (platform.GetSystem().FreeBytesOfCurrentVolume(freeBytes) &&
      static_cast<std::int64_t>(freeBytes) < *total + kInstallHeadroomBytes) {
    platform.GetDialogs().ShowMessage(Text(LauncherText::DiskSpaceLow));
    CleanMovedAsideFiles();
    CleanTempFiles();
    platform.GetUiThread().RunOnUiThread([&platform] { platform.GetUiThread().StopTimer(kStatusTimer); });
    platform.GetSystem().Exit(state.ends.failureExitCode);
  }

  // The package overwrites what is there: it is the whole client.
  const ArchiveInstallResult result = InstallArchive(state.MiniTargetFileName, ArchiveInstall(), progress);
  cancelled = result.outcome == ArchiveOutcome::Cancelled;
  return result.outcome == ArchiveOutcome::Installed;
}

// Downloads and installs the first launcher item of every newer entry.
void InstallNewerLaunchers(LauncherState& state, platform::Platform& platform) {
  for (const VersionEntry& entry : state.entries) {
    if (!IsNewerPackage(entry.PackageCode, state.PackageCode)) {
      continue;
    }
    const std::vector<UpdateFileItem> items = FileItems(entry);
    const auto launcher =
        std::find_if(items.begin(), items.end(), [](const UpdateFileItem& item) { return item.Type == "farLaunch"; });
    if (launcher == items.end() ||
        !HttpDownloader::DownloadFile(launcher->SourceFileAddr, kLauncherArchive, platform.GetUiThread())) {
      continue;
    }
    if (!InstallItem(state, *launcher)) {
      CleanTempFiles();
      platform.GetDialogs().ShowMessage(Text(LauncherText::ItemInstallFailed));
    }
  }
}

// An update that stops for good without completing ends the run when the
// command line asked for it; the message has been shown by then.
void EndIfAsked(const LauncherState& state, platform::Platform& platform) {
  if (state.ends.exitOnFinish) {
    platform.GetSystem().Exit(state.ends.failureExitCode);
  }
}

// Publishes how the update ended and wakes the window to show it.
void Complete(LauncherState& state, platform::Platform& platform) {
  state.progress.completion.store(state.selfUpdated ? LauncherReplaced : Finished, std::memory_order_release);
  state.progress.installing = false;
  platform.GetUiThread().PostMessage(platform::WM_UPDATE_COMPLETED, 0, 0);
}

using Worker = void (*)(LauncherState&, platform::Platform&);

void StartDetached(Worker worker, LauncherState& state, platform::Platform& platform) {
  std::thread([worker, &state, &platform] {
    try {
      worker(state, platform);
    } catch (const platform::ExitRequested&) {
      // A test double ended the "process"; the worker just stops.
    }
  }).detach();
}

}  // namespace

bool IsNewerPackage(const std::string& code, const std::string& installed) {
  // std::string compares through char_traits<char>, which orders bytes as
  // unsigned characters, a prefix first.
  return installed.compare(code) < 0;
}

bool StartUpdate(LauncherState& state, platform::Platform& platform) {
  if (!FetchServerDocument(state, platform)) {
    state.progress.stage.store(ServerConfigRetry, std::memory_order_release);
    return false;
  }
  LoadServerDocument(state);
  platform.GetWebPanel().Navigate(state.pageUrl);
  StartDetached(state.needFullInstall ? FullInstallWorker : NormalUpdateWorker, state, platform);
  return true;
}

void NormalUpdateWorker(LauncherState& state, platform::Platform& platform) {
  const bool listed = std::any_of(state.entries.begin(), state.entries.end(), [&state](const VersionEntry& entry) {
    return entry.PackageCode == state.PackageCode;
  });
  if (!listed) {
    state.progress.stage.store(CannotUpdate, std::memory_order_release);
    platform.GetDialogs().ShowMessage(Text(LauncherText::CutOffVersion));
    platform.GetShell().OpenInBrowser(state.UpdateBlockAddr);
    EndIfAsked(state, platform);
    return;
  }

  std::size_t writeBackIndex = state.entries.size() - 1;
  for (std::size_t i = 0; i < state.entries.size() && !state.selfUpdated; ++i) {
    const VersionEntry& entry = state.entries[i];
    if (IsNewerPackage(entry.PackageCode, state.PackageCode)) {
      const std::vector<UpdateFileItem> items = FileItems(entry);
      for (std::size_t j = 0; j < items.size(); ++j) {
        state.progress.AnnounceDownload(items[j].TargetFileName, static_cast<std::int32_t>(j + 1),
                                        static_cast<std::int32_t>(items.size()));
        ProcessItem(state, platform, items[j]);
        if (state.selfUpdated) {
          // The new launcher finishes the update after the restart.
          writeBackIndex = i;
          break;
        }
      }
    }
    if (!state.selfUpdated) {
      state.progress.stage.store(EntryDone, std::memory_order_release);
    }
  }
  WriteBack(state, platform, writeBackIndex);
  Complete(state, platform);
}

void FullInstallWorker(LauncherState& state, platform::Platform& platform) {
  UpdateProgress& progress = state.progress;
  progress.installing = true;
  progress.totalInstallBytes = 0;

  // Without the package there is no client to record or to start.
  bool packageInstalled = false;
  if (SchemeOf(state.MiniSourceFileAddr) == "http") {
    progress.AnnounceDownload(state.MiniTargetFileName, 1, 1);
    // The server names the package file; it must not leave the game directory.
    if (!IsInsideGameDirectory(state.MiniTargetFileName) ||
        !HttpDownloader::DownloadFile(state.MiniSourceFileAddr, state.MiniTargetFileName, platform.GetUiThread())) {
      platform.GetDialogs().ShowMessage(Text(LauncherText::PackageDownloadFailed));
    } else {
      progress.stage.store(Installing, std::memory_order_release);
      bool cancelled = false;
      packageInstalled = UnpackFullPackage(state, platform, cancelled);
      if (cancelled) {
        progress.installing = false;
        return;
      }
      progress.stage.store(InstallDone, std::memory_order_release);
      if (!packageInstalled) {
        platform.GetDialogs().ShowMessage(Text(LauncherText::ItemInstallFailed));
      }
    }
  } else {
    // No package to fetch: the directory is taken as it is.
    packageInstalled = true;
  }

  if (!state.entries.empty()) {
    InstallNewerLaunchers(state, platform);
    if (!FileExists("updatecfg.xml") && FileExists("updatecfg_tmp.xml")) {
      MoveFileAside("updatecfg_tmp.xml", "updatecfg.xml");
    }
    if (packageInstalled) {
      WriteBack(state, platform, state.entries.size() - 1);
    }
  }
  if (state.selfUpdated || packageInstalled) {
    Complete(state, platform);
  } else {
    progress.stage.store(CannotUpdate, std::memory_order_release);
    progress.installing = false;
    EndIfAsked(state, platform);
  }
}

void WriteBack(LauncherState& state, platform::Platform& platform, std::size_t index) {
  if (!state.UpdateBlockAddr.empty() && state.UpdateBlockAddr != state.UpdateServerAddr) {
    state.UpdateServerAddr = state.UpdateBlockAddr;
  }
  const VersionEntry& entry = state.entries[index];
  if (!SaveVersionDocument(entry.MainVersion, entry.SubVersion, entry.FileVersion, entry.PackageCode,
                           state.UpdateServerAddr, state.ForceUpdateVersion)) {
    return;
  }
  const std::string label =
      Text(LauncherText::CurrentVersionPrefix) + entry.MainVersion + "." + entry.SubVersion + "." + entry.FileVersion;
  platform.GetUiThread().RunOnUiThread(
      [&platform, label] { platform.GetWindow().SetLabelText(controls::CurrentVersionLabel, label); });
  CleanTempFiles();
}
