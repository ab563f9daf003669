// A run killed in the chain's third patch keeps what it did: the next
// start downloads neither the second patch again nor the third from zero.
#include <gtest/gtest.h>

#include <csignal>
#include <system_error>

#include "e2e/patch_chain.h"

namespace e2e {
namespace {

TEST_F(PatchChainGame, AKillInTheThirdPatchKeepsTheSecondAndWhatArrivedOfTheThird) {
  // The third patch (0004) falls silent after 1.5 MB: the run is killed
  // while it waits.
  RangeHttpServer::Answer stall;
  stall.cutAfter = 1500000;
  stall.stallAtCut = true;
  server_.Queue("/patch-0004.zip", stall);
  {
    ChildProcess first(game_.Launcher(kHeadless, scratch_.Path() / "first.txt"));
    std::error_code error;
    ASSERT_TRUE(WaitUntil([&] { return fs::file_size(game_.Path() / "client.zip.part", error) >= (1 << 20) && !error; }))
        << ReadFile(scratch_.Path() / "first.txt");
    first.Signal(SIGKILL);
    ASSERT_TRUE(first.WaitForExit(kPatience));
  }
  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0003");
  ExpectTheRecordedRelease("after the kill");

  EXPECT_EQ(Run("second.txt"), 0) << ReadFile(scratch_.Path() / "second.txt");
  ExpectTheRecordedRelease("after the next start");
  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0004");
  EXPECT_EQ(server_.Requests("/patch-0003.zip").size(), 1u);
  const std::vector<std::string> third = server_.Requests("/patch-0004.zip");
  ASSERT_EQ(third.size(), 2u);
  EXPECT_NE(third[1].find("Range: bytes="), std::string::npos) << third[1];
}

}  // namespace
}  // namespace e2e
