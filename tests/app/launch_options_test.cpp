// The command line of farLaunch.exe, parsed and as the program answers it
// on the console.
#include "app/launch_options.h"

#include "app/installed_launcher.h"

namespace {

TEST(LaunchOptionsTest, ParsesSeparateAndCombinedOptions) {
  LaunchOptions options;
  std::string error;
  ASSERT_TRUE(ParseLaunchOptions({"--headless --exit-on-finish", "--repair"}, options, error));
  EXPECT_TRUE(options.headless);
  EXPECT_TRUE(options.exitOnFinish);
  EXPECT_EQ(RestartParameters(options), "--headless --exit-on-finish --repair");
  EXPECT_EQ(RestartParameters(LaunchOptions()), "");

  LaunchOptions other;
  EXPECT_FALSE(ParseLaunchOptions({"--headless", "-x"}, other, error));
  EXPECT_EQ(error, "unknown option: -x");
}

TEST(ProgramExitStatus, UsageHelpVersionAndAConsoleFailure) {
  GameDirectory dir;
  const Outcome usage = RunLauncher("--frobnicate");
  EXPECT_EQ(usage.status, 2);
  EXPECT_NE(usage.output.find("Usage: farLaunch.exe"), std::string::npos);
  const Outcome help = RunLauncher("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("--exit-on-finish"), std::string::npos);
  const Outcome version = RunLauncher("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.output.rfind("farLaunch.exe ", 0), 0u);

  // No updatecfg.xml: the fatal message is printed and the status is 1.
  const Outcome failure = RunLauncher("--headless");
  EXPECT_EQ(failure.status, 1);
  EXPECT_NE(failure.output.find("读取本地更新文件错误，请下载紧急更新文件！"), std::string::npos) << failure.output;
}

TEST(ProgramExitStatus, HeadlessPatchUpdateRunsToItsEnd) {
  PatchSite game;
  const Outcome run = RunLauncher("--exit-on-finish");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("更新完成"), std::string::npos) << run.output;
  EXPECT_TRUE(game.Updated());
}

}  // namespace
