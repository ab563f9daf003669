#include "update/worker_steps.h"

#include <system_error>

#include "base/files/ox_letter_case.h"
#include "update/gamedir/temporary_files.h"
#include "update/site/address_scheme.h"
#include "update/site/expected_content.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"

namespace {
constexpr std::int64_t kInstallHeadroomBytes = 0x1000000;
// An unverified file has no announced size to stop at; a game's largest
// files stay well below this.
constexpr std::uint64_t kUnverifiedFileCap = std::uint64_t{4} << 30;
// Less than this free when a run fails: the disk ran full under it.
constexpr std::uint64_t kFullDiskBytes = 1 << 20;
constexpr char kNoSpaceLeft[] = "no space left on the disk";

// The systems' words for a full disk or quota: POSIX ENOSPC and EDQUOT,
// Windows ERROR_DISK_FULL and ERROR_HANDLE_DISK_FULL.
bool TellsOfAFullDisk(const std::string& reason) {
  const std::string folded = ox_base::FoldLetterCase(reason);
  for (const std::string& words : {ox_base::FoldLetterCase(std::make_error_code(std::errc::no_space_on_device).message()),
                                   std::string("no space left"), std::string("disk quota exceeded"),
                                   std::string("not enough space on the disk"), std::string("the disk is full")}) {
    if (folded.find(words) != std::string::npos) return true;
  }
  return false;
}
}  // namespace

LauncherText MessageFor(platform::Platform& platform, LauncherText message, std::string& reason) {
  std::uint64_t freeBytes = 0;
  const bool nearlyFull = platform.GetSystem().FreeBytesOfCurrentVolume(freeBytes) && freeBytes < kFullDiskBytes;
  if (!nearlyFull && !TellsOfAFullDisk(reason)) return message;
  reason += std::string(" (") + kNoSpaceLeft + ")";
  return LauncherText::DiskSpaceLow;
}

DownloadResult FetchFile(LauncherState& state, platform::Platform& platform, const std::string& address,
                         const std::string& localName, const FileCheck& check, bool keepComplete) {
  DownloadOptions options;
  options.keepComplete = keepComplete;
  DownloadResult refused;
  if (!ExpectedContentOf(check, state.Verified(), options.expected, refused.reason)) {
    return refused;
  }
  options.maxBytesPerSecond = state.downloadRateLimit;
  if (!state.Verified()) options.maxBytes = kUnverifiedFileCap;
  UpdateProgress& progress = state.progress;
  options.onRetry = [&progress, &address, &localName](const RetryNotice& notice) {
    if (notice.phase == RetryNotice::Phase::Starting) {
      progress.AnnounceRetryStarted();
      return;
    }
    LogFailure(localName, address,
               notice.reason + "; retry " + std::to_string(notice.retry) + " of " + std::to_string(notice.retries) +
                   " in " + std::to_string(notice.pause.count()) + " ms");
    progress.AnnounceRetry(notice.retry, notice.retries);
  };
  DownloadResult download = HttpDownloader::DownloadFile(address, localName, platform.GetUiThread(), options);
  if (download.tooLarge && !state.Verified()) {
    download.reason += "; an unverified update takes no file larger than 4 GiB";
  }
  return download;
}

bool RoomToUnpack(platform::Platform& platform, std::int64_t bytes, std::string& problem) {
  std::uint64_t freeBytes = 0;
  if (!platform.GetSystem().FreeBytesOfCurrentVolume(freeBytes)) {
    return true;
  }
  const auto needed = static_cast<std::uint64_t>(std::max<std::int64_t>(bytes, 0) + kInstallHeadroomBytes);
  if (freeBytes >= needed) {
    return true;
  }
  problem = "No space left on device: unpacking needs " + std::to_string(needed) + " bytes, " +
            std::to_string(freeBytes) + " are free";
  return false;
}

void FailUpdate(LauncherState& state, platform::Platform& platform, PatchTransaction& run, LauncherText message,
                const Failure& failure) {
  // Asked before the roll-back and the clean-up make room again.
  std::string reason = failure.reason;
  const LauncherText shown = MessageFor(platform, message, reason);
  {
    UnpackingScope puttingBack(state.progress, Unpacking::Archive);
    if (puttingBack.Entered()) {
      run.RollBack();
    }
  }
  // The downloads go first: on a full disk they make room for the log.
  CleanTempFiles(state.FullPackageMadeThisRun());
  LogFailure(failure.what, failure.address, reason);
  platform.GetDialogs().ShowMessage(Text(shown));
  platform.GetSystem().Exit(state.ends.failureExitCode);
}

void Complete(LauncherState& state, platform::Platform& platform) {
  state.progress.completion.store(state.selfUpdated ? LauncherReplaced : Finished, std::memory_order_release);
  platform.GetUiThread().PostWindowMessage(platform::WM_UPDATE_COMPLETED, 0, 0);
}

void EndIfAsked(const LauncherState& state, platform::Platform& platform) {
  if (state.ends.exitOnFinish) {
    platform.GetSystem().Exit(state.ends.failureExitCode);
  }
}
