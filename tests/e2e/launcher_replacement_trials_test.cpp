// farLaunch.exe on the console, killed (kill -9) during a run that replaces
// it with the demo's new launcher: wherever the kill lands, farLaunch.exe is
// one whole launcher, the old or the new one, and can be started. The kill
// moments close in on the replacement by halving (old launcher found: kill
// later; new: earlier), where writing the new one in place would have left
// half a file.
#include <gtest/gtest.h>

#include <csignal>
#include <iostream>
#include <thread>

#include "e2e/scenario.h"

namespace e2e {
namespace {

const std::vector<std::string> kHeadless = {"--headless", "--exit-on-finish"};
constexpr int kKills = 8;

class LauncherReplacement : public ::testing::Test {
 protected:
  static void Prepare(Scenario& scenario) {
    scenario.PrepareGame("servercfg-launcher.xml", /*withClient=*/true);
    scenario.Game().AddPublisherKey();
  }

  // How long the first launcher runs when nothing stops it.
  static std::chrono::milliseconds HealthyRunLength() {
    Scenario scenario({/*ftp=*/false, /*large=*/false, /*launcher=*/true});
    Prepare(scenario);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RunToEnd(scenario.Game().Launcher(kHeadless, scenario.Output("run.txt")), kPatience), 0)
        << ReadFile(scenario.Output("run.txt"));
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  }
};

TEST_F(LauncherReplacement, AKilledSelfUpdateLeavesOneWholeLauncher) {
  const std::chrono::milliseconds length = HealthyRunLength();
  const std::string marker = "\nfarLaunch demo update 0004\n";
  std::chrono::milliseconds earliest(0);
  std::chrono::milliseconds latest = length;
  for (int kill = 0; kill < kKills; ++kill) {
    Scenario scenario({/*ftp=*/false, /*large=*/false, /*launcher=*/true});
    Prepare(scenario);
    GameDirectory& game = scenario.Game();
    const std::string old = game.Read("farLaunch.exe");
    const auto after = (earliest + latest) / 2;
    SCOPED_TRACE("kill -9 after " + std::to_string(after.count()) + " ms");
    {
      ChildProcess launcher(game.Launcher(kHeadless, scenario.Output("killed.txt")));
      std::this_thread::sleep_for(after);
      launcher.Signal(SIGKILL);
      ASSERT_TRUE(launcher.WaitForExit(kPatience));
    }
    const std::string now = game.Read("farLaunch.exe");
    const char* found = now == old ? "the old launcher" : now == old + marker ? "the new launcher" : "neither launcher";
    std::cout << "kill -9 after " << after.count() << " ms: " << found
              << (game.Has("tmpUpdate0") ? ", the old one aside" : "") << std::endl;
    ASSERT_TRUE(now == old || now == old + marker) << "farLaunch.exe has " << now.size() << " bytes";
    EXPECT_TRUE(game.IsExecutable("farLaunch.exe"));
    (now == old ? earliest : latest) = after;
  }
}

}  // namespace
}  // namespace e2e
