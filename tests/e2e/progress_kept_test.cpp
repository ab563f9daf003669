// A run killed in the chain's third patch keeps what it did: the next
// start downloads neither the second patch again nor the third from zero.
#include <gtest/gtest.h>

#include <csignal>
#include <system_error>

#include "e2e/patch_chain.h"

namespace e2e {
namespace {

class ProgressKept : public PatchChainGame {
 protected:
  // The third patch (0004) falls silent after 1.5 MB: the run is killed
  // while it waits, once its partial download holds 1 MiB.
  void KillInTheThirdPatch() {
    RangeHttpServer::Answer stall;
    stall.cutAfter = 1500000;
    stall.stallAtCut = true;
    server_.Queue("/patch-0004.zip", stall);
    ChildProcess first(game_.Launcher(kHeadless, scratch_.Path() / "first.txt"));
    ASSERT_TRUE(WaitUntil([&] {
      return !server_.Requests("/patch-0004.zip").empty() && LargestPartialDownload() >= (1 << 20);
    })) << ReadFile(scratch_.Path() / "first.txt");
    first.Signal(SIGKILL);
    ASSERT_TRUE(first.WaitForExit(kPatience));
  }

  std::uintmax_t LargestPartialDownload() const {
    std::uintmax_t largest = 0;
    std::error_code error;
    for (fs::directory_iterator it(game_.Path(), error), end; !error && it != end; it.increment(error)) {
      if (it->path().extension() == ".part") largest = std::max(largest, it->file_size(error));
    }
    return largest;
  }

  // The next start reaches 0004, going on from what arrived of its patch.
  void ExpectTheNextStartGoesOn() {
    EXPECT_EQ(Run("second.txt"), 0) << ReadFile(scratch_.Path() / "second.txt");
    ExpectTheRecordedRelease("after the next start");
    EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0004");
    EXPECT_EQ(server_.Requests("/patch-0003.zip").size(), 1u);
    const std::vector<std::string> third = server_.Requests("/patch-0004.zip");
    ASSERT_EQ(third.size(), 2u);
    EXPECT_NE(third[1].find("Range: bytes="), std::string::npos) << third[1];
  }
};

TEST_F(ProgressKept, AKillInTheThirdPatchKeepsTheSecondAndWhatArrivedOfTheThird) {
  KillInTheThirdPatch();
  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0003");
  ExpectTheRecordedRelease("after the kill");
  ExpectTheNextStartGoesOn();
}

// The entry fetches another archive before its patch: the restarted entry
// fetches that one again without losing what arrived of the patch.
TEST_F(ProgressKept, EachArchiveOfAnEntryKeepsItsOwnPartialDownload) {
  const Chain& chain = TheChain();
  server_.Put("/notes.zip", MakeZip({{chain.untypedName, chain.releases[3].at(chain.untypedName)}}));
  ServerDocument document = Document(kCodes.size());
  std::vector<ServerItem>& items = document.versions[3].items;
  items.insert(items.begin(), ServerItem{"normal", "notes", server_.Url("/notes.zip")});
  server_.Put("/servercfg.xml", document.Text());

  KillInTheThirdPatch();
  ExpectTheNextStartGoesOn();
  EXPECT_EQ(server_.Requests("/notes.zip").size(), 2u);
}

}  // namespace
}  // namespace e2e
