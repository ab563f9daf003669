// farLaunch.exe on the console, stopped at a random moment (seeded) by
// kill -9 or SIGTERM while it takes a game through a chain of three
// patches (one of them with an untyped file item). After every trial the
// game is byte for byte the release its record names: at once after a
// SIGTERM (which ends the run as a failure), after the next start's settling
// after a kill -9. A healthy start then reaches the newest release.
// INTERRUPTION_FIRST_SEED and INTERRUPTION_TRIALS choose the trials.
#include <gtest/gtest.h>

#include <csignal>
#include <iostream>
#include <thread>

#include "e2e/patch_chain.h"

namespace e2e {
namespace {

class InterruptionTrial : public PatchChainGame, public ::testing::WithParamInterface<int> {};

TEST_P(InterruptionTrial, TheGameIsAlwaysTheReleaseItsRecordNames) {
  std::mt19937 random(static_cast<std::uint32_t>(GetParam()));
  const bool kill9 = random() % 2 == 0;
  const auto moment = std::chrono::milliseconds(random() % static_cast<std::uint32_t>(HealthyRunLength().count() + 1));
  {
    ChildProcess launcher(game_.Launcher(kHeadless, scratch_.Path() / "stopped.txt"));
    std::this_thread::sleep_for(moment);
    launcher.Signal(kill9 ? SIGKILL : SIGTERM);
    const std::optional<int> status = launcher.WaitForExit(kPatience);
    ASSERT_TRUE(status);
    const std::string recorded = game_.InstalledVersion()["PackageCode"];
    std::cout << (kill9 ? "kill -9" : "SIGTERM") << " after " << moment.count() << " ms: recorded " << recorded
              << (game_.Has("farLaunch.journal") ? ", an entry journaled" : "") << std::endl;
    SCOPED_TRACE((kill9 ? "kill -9" : "SIGTERM") + std::string(" after ") + std::to_string(moment.count()) +
                 " ms, recorded " + recorded);
    if (!kill9) {
      // A stop before the end is a failure (the signal's own status before
      // the console took it over, in the first milliseconds); one after
      // it, the run's own end.
      if (recorded == kCodes.back()) {
        EXPECT_EQ(*status, 0) << ReadFile(scratch_.Path() / "stopped.txt");
      } else {
        EXPECT_TRUE(*status == 1 || *status == 128 + SIGTERM) << *status << ReadFile(scratch_.Path() / "stopped.txt");
      }
      EXPECT_FALSE(game_.Has("farLaunch.journal"));
      ExpectTheRecordedRelease("after SIGTERM");
    } else {
      // The next start settles what the kill left before anything else.
      Publish(static_cast<std::size_t>(std::find(kCodes.begin(), kCodes.end(), recorded) - kCodes.begin()) + 1);
      EXPECT_EQ(Run("settled.txt"), 0) << ReadFile(scratch_.Path() / "settled.txt");
      EXPECT_FALSE(game_.Has("farLaunch.journal"));
      EXPECT_EQ(game_.InstalledVersion()["PackageCode"], recorded);
      ExpectTheRecordedRelease("after kill -9 and a start");
      Publish(kCodes.size());
    }
  }
  EXPECT_EQ(Run("healthy.txt"), 0) << ReadFile(scratch_.Path() / "healthy.txt");
  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], kCodes.back());
  ExpectTheRecordedRelease("after a healthy start");
  for (const auto& [name, content] : Tree(game_.Path())) {
    EXPECT_EQ(name.rfind("tmpFile", 0), std::string::npos) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, InterruptionTrial,
                         ::testing::Range(INTERRUPTION_FIRST_SEED, INTERRUPTION_FIRST_SEED + INTERRUPTION_TRIALS));

}  // namespace
}  // namespace e2e
