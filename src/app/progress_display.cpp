#include "app/progress_display.h"

#include <cstdio>

#include "update/chain/self_update.h"
#include "update/launcher_messages.h"
#include "update/launcher_restart.h"
#include "update/site/failure_log.h"
#include "update/update_workers.h"
#include "update/window_controls.h"

namespace {

// A failed retry beyond this count makes the next tick fatal.
constexpr int kServerRetryLimit = 10;
// The installation text refreshes when the tick counter has passed this.
constexpr int kInstallRefreshTicks = 10;
// The download status line is cut at this many bytes.
constexpr std::size_t kDownloadStatusLimit = 131;
// A run that ends at completion waits this many ticks (ten seconds) at most
// for the news page's first load.
constexpr int kPageWaitTicks = 10000 / kStatusTimerPeriodMs;

void SetStatus(platform::Window& window, const std::string& text) { window.SetLabelText(controls::StatusLabel, text); }

// The status line of a download, or of its retry: the file and two counts.
std::string DownloadStatus(LauncherText format, const std::string& file, std::int32_t first, std::int32_t second) {
  char buffer[kDownloadStatusLimit + 1];
  std::snprintf(buffer, sizeof buffer, Text(format).c_str(), file.c_str(), first, second);
  return buffer;
}

std::string DownloadingStatus(const DownloadAnnouncement& announced) {
  return DownloadStatus(LauncherText::StatusDownloadingFormat, announced.currentFile, announced.fileIndex,
                        announced.fileCount);
}

// 0 % and no bar: SetProgress leaves the bar as it is at 0.
void ShowEmptyBar(platform::Window& window) {
  SetProgress(window, 0);
  platform::Rect bar = controls::ProgressBarRect;
  bar.right = bar.left;
  window.PlaceControl(controls::ProgressBarButton, bar, false);
}

int InstallPercent(const UpdateProgress& progress) {
  const std::int64_t total = progress.totalInstallBytes;
  if (total == 0) {
    return 0;
  }
  const int percent =
      static_cast<int>(static_cast<double>(progress.extractedBytes) / static_cast<double>(total) * 100.0);
  return percent > 99 ? 100 : percent;
}

// Returns the dots of the installation text for the counter and advances it.
std::string NextDots(UpdateProgress& progress) {
  std::string dots;
  for (int i = 0; i < progress.dots; ++i) {
    dots += Text(LauncherText::Dot);
  }
  if (progress.dots == 3) {
    progress.dots = 0;
  }
  progress.dots += 1;
  return dots;
}

void ShowCompletion(LauncherState& state, platform::Platform& platform, const PageRequestHandler& handlePageRequest) {
  UpdateProgress& progress = state.progress;
  switch (progress.completion.load(std::memory_order_acquire)) {
    case Finished: {
      SetProgress(platform.GetWindow(), 100);
      SetStatus(platform.GetWindow(), Text(LauncherText::StatusFinished));
      state.updateFinished = true;
      progress.completion.store(Pending, std::memory_order_relaxed);
      progress.stage.store(InstallDone, std::memory_order_relaxed);
      if (!state.pendingWebRequest.empty()) {
        const std::string parked = state.pendingWebRequest;
        handlePageRequest(parked);
      }
      break;
    }
    case LauncherReplaced:
      RestartLauncher(state, platform, Text(LauncherText::LauncherUpdated));
      break;
    default:
      break;
  }
}

// With the run ending at completion, the page still gets its first load
// read: a launch request on it would be lost otherwise. A page that never
// loads holds the end for a bounded time only.
void EndAfterCompletion(LauncherState& state, platform::Platform& platform) {
  if (!state.ends.exitOnFinish || !state.updateFinished) {
    return;
  }
  const bool pageAwaited = !state.pageUrl.empty() && !state.pageRead;
  if (pageAwaited && state.pageWaitTicks++ < kPageWaitTicks) {
    return;
  }
  if (state.crashDumpUploading.load(std::memory_order_acquire)) {
    return;
  }
  platform.GetUiThread().StopTimer(kStatusTimer);
  platform.GetSystem().Exit(0);
}

void ShowStage(LauncherState& state, platform::Platform& platform) {
  UpdateProgress& progress = state.progress;
  platform::Window& window = platform.GetWindow();
  // Only the code shown is cleared: one a worker publishes meanwhile stays
  // for the next tick.
  const std::int32_t shown = progress.stage.load(std::memory_order_acquire);
  switch (shown) {
    case Downloading: {
      const DownloadAnnouncement announced = progress.Announcement();
      SetStatus(window, DownloadingStatus(announced));
      // A new file starts from an empty bar, not where the file before ended.
      if (announced.number != progress.barAnnouncement) {
        ShowEmptyBar(window);
        progress.barAnnouncement = announced.number;
      }
      progress.ClearStage(shown);
      break;
    }
    case Retrying: {
      const DownloadAnnouncement announced = progress.Announcement();
      SetStatus(window, DownloadStatus(LauncherText::StatusRetryingFormat, announced.currentFile, announced.retry,
                                       announced.retries));
      progress.ClearStage(shown);
      break;
    }
    case EntryDone:
      if (state.selfUpdated) {
        platform.GetDialogs().ShowMessage(Text(LauncherText::LauncherUpdated));
        platform.GetUiThread().StopTimer(kStatusTimer);
        platform.GetSystem().Exit(0);
      }
      SetStatus(window, Text(LauncherText::StatusEntryDone));
      progress.ClearStage(shown);
      break;
    case CannotUpdate:
      SetStatus(window, Text(LauncherText::StatusCannotUpdate));
      progress.ClearStage(shown);
      break;
    case ServerConfigRetry:
      // The failed fetch's worker is still on its way out: the next tick.
      if (progress.workerRunning.load()) break;
      progress.ClearStage(shown);
      // The start's own fetch is not counted; every failed retry is.
      if (progress.serverRetried && ++progress.serverFailures > kServerRetryLimit) {
        progress.stage = ServerConfigFailed;
        break;
      }
      SetStatus(window, Text(LauncherText::StatusFetchingServerConfig));
      progress.serverRetried = true;
      StartUpdate(state, platform);
      break;
    case ServerConfigFailed:
      LogFailure("server document", state.UpdateServerAddr,
                 "given up after " + std::to_string(progress.serverFailures + 1) + " failed fetches");
      platform.GetUiThread().StopTimer(kStatusTimer);
      platform.GetDialogs().ShowMessage(Text(LauncherText::ServerConfigUnreadable));
      platform.GetSystem().Exit(state.ends.failureExitCode);
      break;
    case Installing:
      SetProgress(window, 0);
      window.SetButtonImages(controls::ProgressBarButton, controls::InstallBarImage, controls::InstallBarImage,
                             controls::InstallBarImage);
      SetStatus(window, Text(LauncherText::StatusInstalling));
      progress.installDisplay = true;
      progress.ClearStage(shown);
      break;
    case InstallDone:
      progress.installDisplay = false;
      progress.ClearStage(shown);
      break;
    default:
      break;
  }
}

void ShowInstallPercent(LauncherState& state, platform::Window& window) {
  UpdateProgress& progress = state.progress;
  const int ticks = progress.ticks++;
  if (ticks <= kInstallRefreshTicks || !progress.installDisplay || progress.stage.load() != Idle) {
    return;
  }
  SetProgress(window, InstallPercent(progress));
  SetStatus(window, Text(LauncherText::StatusUpdatingFiles) + NextDots(progress));
  progress.ticks = 0;
}

}  // namespace

void SetProgress(platform::Window& window, int percent) {
  const std::string text = std::to_string(percent) + "%";
  window.SetLabelText(controls::PercentLabel, text);
  window.SetProgressValue(percent);
  if (percent != 0) {
    window.SetLabelText(controls::PercentLabel, text);
    platform::Rect bar = controls::ProgressBarRect;
    bar.right = bar.left + percent * controls::ProgressBarFullWidth / 100;
    window.PlaceControl(controls::ProgressBarButton, bar, true);
    window.Repaint(controls::ProgressBarButton);
  }
}

void ShowDownloadProgress(UpdateProgress& progress, platform::Window& window, int percent) {
  const DownloadAnnouncement announced = progress.Announcement();
  if (announced.fileCount > 0) SetStatus(window, DownloadingStatus(announced));
  progress.barAnnouncement = announced.number;
  SetProgress(window, percent);
}

void OnUpdateCompleted(LauncherState& state, platform::Platform& platform, const PageRequestHandler& handlePageRequest) {
  ShowCompletion(state, platform, handlePageRequest);
  EndAfterCompletion(state, platform);
}

void OnStatusTimer(LauncherState& state, platform::Platform& platform, const PageRequestHandler& handlePageRequest) {
  ShowCompletion(state, platform, handlePageRequest);
  EndAfterCompletion(state, platform);
  if (state.cacheCleared) {
    RestartLauncher(state, platform, Text(LauncherText::CacheCleared));
  }
  ShowStage(state, platform);
  ShowInstallPercent(state, platform.GetWindow());
}
