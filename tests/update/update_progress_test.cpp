#include "update/site/update_progress.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/seam.h"

using platform::WM_DOWNLOAD_PROGRESS;

TEST(UpdateProgress, CodesAndMessageNumberKeepTheirValues) {
  EXPECT_EQ(WM_DOWNLOAD_PROGRESS, 1124u);
  EXPECT_EQ(Downloading, 1);
  EXPECT_EQ(EntryDone, 4);
  EXPECT_EQ(ServerConfigFailed, 7);
  EXPECT_EQ(InstallDone, 9);
  EXPECT_EQ(LauncherReplaced, 2);
  UpdateProgress fresh;
  EXPECT_EQ(fresh.stage.load(), Idle);
  EXPECT_EQ(fresh.completion.load(), Pending);
  EXPECT_EQ(fresh.extractedBytes.load(), 0);
  EXPECT_EQ(fresh.unpacking.load(), Unpacking::None);
  EXPECT_FALSE(fresh.workerRunning.load());
}

TEST(UpdateProgress, OnlyTheLatestAnnouncementIsSeen) {
  UpdateProgress progress;
  progress.AnnounceDownload("client.zip", 1, 2);
  progress.AnnounceDownload("update.zip", 2, 2);
  EXPECT_EQ(progress.stage.load(), Downloading);
  DownloadAnnouncement shown = progress.Announcement();
  EXPECT_EQ(shown.currentFile, "update.zip");
  EXPECT_EQ(shown.fileIndex, 2);
  EXPECT_EQ(shown.fileCount, 2);
}

TEST(UpdateProgress, ReaderSeesACompleteAnnouncementWhileAWorkerPublishes) {
  UpdateProgress progress;
  std::thread worker([&] {
    for (int i = 1; i <= 2000; ++i) progress.AnnounceDownload("file" + std::to_string(i), i, 2000);
  });
  for (int n = 0; n < 2000; ++n) {
    if (progress.stage.load(std::memory_order_acquire) != Downloading) continue;
    DownloadAnnouncement shown = progress.Announcement();
    EXPECT_EQ(shown.currentFile, "file" + std::to_string(shown.fileIndex));
  }
  worker.join();
}
