#pragma once
// The hand-over record between the update workers, the HTTP client, the
// archive reader and the UI thread's timer. Workers never touch the window:
// they publish here and the timer shows what it finds.
#include <atomic>
#include <condition_variable>
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
  // A download failed on the way and is tried again after a pause.
  Retrying = 10,
};

enum UpdateCompletion : std::int32_t {
  Pending = 0,
  Finished = 1,
  LauncherReplaced = 2,
};

// Who may be changing the game's files: the worker while it unpacks an
// archive (or puts a run's archives back), or the UI thread once it ends
// the process with a clean-up (the close button, the game launch, a
// restart). Neither cuts into the other.
enum class Unpacking : std::int32_t {
  None = 0,
  FullPackage = 1,  // the full client package: the close button asks first
  Archive = 2,      // a patch or the launcher's archive, or putting them back
  Ending = 3,       // the UI thread is ending the process: no unpack starts
};

// What the latest Downloading stage announced.
struct DownloadAnnouncement {
  std::string currentFile;
  std::int32_t fileIndex = 0;
  std::int32_t fileCount = 0;
  // The retry under way (Retrying), of how many.
  std::int32_t retry = 0;
  std::int32_t retries = 0;
  // Counts the announcements from 1: tells the display a new one from the
  // one it shows the progress of.
  std::uint32_t number = 0;
};

struct UpdateProgress {
  // Codes are stored after the data they announce (release) and read before
  // it (acquire); only the latest code counts.
  std::atomic<std::int32_t> stage{Idle};
  std::atomic<std::int32_t> completion{Pending};
  // 64-bit: a package of 2 GiB and more must not wrap.
  std::atomic<std::int64_t> totalInstallBytes{0};
  std::atomic<std::int64_t> extractedBytes{0};
  std::atomic<bool> cancelInstall{false};
  std::atomic<Unpacking> unpacking{Unpacking::None};
  // From the start of the worker thread until its last touch of the shared
  // state: whoever tears the state down (a test) waits for it to drop.
  std::atomic<bool> workerRunning{false};
  // The worker has read the server document into the state (release): the
  // timer then shows what waited for it. The worker changes none of those
  // fields afterwards.
  std::atomic<bool> documentRead{false};
  // The record names the newest release: the game is up to date, and
  // what the run does after that only shows it. A signal from then on
  // ends a run that succeeded.
  std::atomic<bool> newestRecorded{false};

  // Timer-only counters (UI thread).
  bool installDisplay = false;
  std::int32_t ticks = 0;
  std::int32_t dots = 0;
  std::int32_t serverFailures = 0;
  // The timer has started a fetch of its own: its failure counts.
  bool serverRetried = false;
  // The announcement whose download the bar shows, as the timer and the
  // progress messages leave it.
  std::uint32_t barAnnouncement = 0;

  // Fills the file name and counters, then sets the stage to Downloading.
  void AnnounceDownload(const std::string& file, std::int32_t index, std::int32_t count) {
    {
      std::lock_guard<std::mutex> lock(announcementLock_);
      announcement_ = DownloadAnnouncement{file, index, count, 0, 0, announcement_.number + 1};
    }
    stage.store(Downloading, std::memory_order_release);
  }

  // The announced download failed on the way: retry `retry` of `retries`
  // follows; sets the stage to Retrying.
  void AnnounceRetry(std::int32_t retry, std::int32_t retries) {
    {
      std::lock_guard<std::mutex> lock(announcementLock_);
      announcement_.retry = retry;
      announcement_.retries = retries;
    }
    stage.store(Retrying, std::memory_order_release);
  }

  // The retry has begun: the announced download is shown again.
  void AnnounceRetryStarted() { stage.store(Downloading, std::memory_order_release); }

  // A copy of the announced download. A worker may already be announcing
  // the next file while the timer reads, so the text is copied under a lock
  // rather than read in place.
  DownloadAnnouncement Announcement() const {
    std::lock_guard<std::mutex> lock(announcementLock_);
    return announcement_;
  }

  // The timer has shown `shown`: back to Idle, unless a worker published
  // another code meanwhile, which the next tick then shows.
  void ClearStage(std::int32_t shown) { stage.compare_exchange_strong(shown, Idle); }

  // Worker: marks an unpack of `kind` (FullPackage or Archive); false, and
  // nothing marked, once the UI thread ends the process: the game's files
  // must then be left alone.
  bool BeginUnpacking(Unpacking kind);
  void EndUnpacking();

  // UI thread, on a way out that cleans up the game's files: true when no
  // unpack runs, and then none starts any more; false, and nothing
  // claimed, while one runs (the caller tries again later: the window's
  // thread never waits for a worker).
  bool TryClaimTheEnd();
  // Once the window is gone: waits until no unpack runs, then claims the
  // end as TryClaimTheEnd does. A cancel asked before shortens the wait.
  void AwaitTheEnd();

 private:
  mutable std::mutex announcementLock_;
  std::mutex unpackEndLock_;
  std::condition_variable unpackEnded_;
  DownloadAnnouncement announcement_;
};

// Marks an unpack for as long as it lives (see BeginUnpacking).
class UnpackingScope {
 public:
  UnpackingScope(UpdateProgress& progress, Unpacking kind)
      : progress_(progress), entered_(progress.BeginUnpacking(kind)) {}
  ~UnpackingScope() {
    if (entered_) progress_.EndUnpacking();
  }
  UnpackingScope(const UnpackingScope&) = delete;
  UnpackingScope& operator=(const UnpackingScope&) = delete;

  // False when the process is ending: leave the game's files alone.
  bool Entered() const { return entered_; }

 private:
  UpdateProgress& progress_;
  const bool entered_;
};
