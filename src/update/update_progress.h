#pragma once
// The hand-over record between the update workers, the HTTP client, the
// archive reader and the UI thread's timer. Workers never touch the window:
// they publish here and the timer shows what it finds.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

enum UpdateStage : std::int32_t {
  Idle = 0,
  Downloading = 1,
  EntryDone = 4,
  CannotUpdate = 5,
  ServerConfigRetry = 6,
  ServerConfigFailed = 7,
  Installing = 8,
  InstallDone = 9,
};

enum UpdateCompletion : std::int32_t {
  Pending = 0,
  Finished = 1,
  LauncherReplaced = 2,
};

// What the latest Downloading stage announced.
struct DownloadAnnouncement {
  std::string currentFile;
  std::int32_t fileIndex = 0;
  std::int32_t fileCount = 0;
};

struct UpdateProgress {
  // Codes are stored after the data they announce (release) and read before
  // it (acquire); only the latest code counts.
  std::atomic<std::int32_t> stage{Idle};
  std::atomic<std::int32_t> completion{Pending};
  std::atomic<std::int32_t> totalInstallBytes{0};
  std::atomic<std::int32_t> extractedBytes{0};
  std::atomic<bool> cancelInstall{false};
  std::atomic<bool> installing{false};

  // Timer-only counters (UI thread).
  bool installDisplay = false;
  std::int32_t ticks = 0;
  std::int32_t dots = 0;
  std::int32_t serverFailures = 0;

  // Fills the file name and counters, then sets the stage to Downloading.
  void AnnounceDownload(const std::string& file, std::int32_t index, std::int32_t count) {
    {
      std::lock_guard<std::mutex> lock(announcementLock_);
      announcement_ = DownloadAnnouncement{file, index, count};
    }
    stage.store(Downloading, std::memory_order_release);
  }

  // A copy of the announced download. A worker may already be announcing
  // the next file while the timer reads, so the text is copied under a lock
  // rather than read in place.
  DownloadAnnouncement Announcement() const {
    std::lock_guard<std::mutex> lock(announcementLock_);
    return announcement_;
  }

 private:
  mutable std::mutex announcementLock_;
  DownloadAnnouncement announcement_;
};
