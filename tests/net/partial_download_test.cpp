// A partial download's files under a Chinese name: its sidecar is replaced
// as the download goes on, and the finished file takes the final name. (On
// Windows a rename onto an existing file and names given as narrow strings
// are where this goes wrong.)
#include "net/partial_download.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/code_page_text.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

TEST(PartialDownload, SidecarIsReplacedAndThePartIsPromotedUnderItsName) {
  CurrentTempDir dir;
  const PartialDownload download(Gbk("补丁.zip"));
  WriteFile(fs::u8path(u8"补丁.zip.part"), "1234");
  PartialMeta meta;
  meta.address = "http://127.0.0.1/patch.zip";
  meta.etag = "\"first\"";
  meta.length = 10;
  ASSERT_TRUE(download.SaveMeta(meta));
  meta.etag = "\"second\"";
  ASSERT_TRUE(download.SaveMeta(meta)) << "the older sidecar is replaced";

  PartialMeta stored;
  EXPECT_EQ(download.ResumableBytes(meta.address, ExpectedContent{}, stored), 4u);
  EXPECT_EQ(stored.etag, "\"second\"");

  std::string problem;
  ASSERT_TRUE(download.Promote(problem)) << problem;
  EXPECT_EQ(ReadFile(fs::u8path(u8"补丁.zip")), "1234");
  EXPECT_FALSE(fs::exists(fs::u8path(u8"补丁.zip.part.meta")));
  EXPECT_FALSE(fs::exists(fs::u8path(u8"补丁.zip.part")));
}

// The launcher's end: a download finishing after it stays partial, for the
// next start, instead of appearing after the clean-up.
TEST(PartialDownload, OnceTheLauncherEndsNothingIsPlaced) {
  CurrentTempDir dir;
  const PartialDownload download("patch.zip");
  WriteFile("patch.zip.part", "1234");
  StopPlacingDownloads();
  std::string problem;
  EXPECT_FALSE(download.Promote(problem));
  EXPECT_EQ(problem, "patch.zip is not placed: the launcher is ending");
  EXPECT_FALSE(fs::exists("patch.zip"));
  EXPECT_EQ(ReadFile("patch.zip.part"), "1234");
}
