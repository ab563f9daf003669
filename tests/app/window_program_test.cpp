// farLaunch.exe with its window module: the window, and the console when
// the display does not open.
#include <cstdlib>

#include "app/installed_launcher.h"

namespace {

// A display is named but none opens: the launcher says so and runs on the
// console, with the console's exit status.
TEST(ProgramExitStatus, ADisplayThatDoesNotOpenFallsBackToTheConsole) {
  GameDirectory dir;
  const Outcome run = RunLauncher("", "env -u WAYLAND_DISPLAY DISPLAY=:4999 ");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("farLaunch.exe: cannot open the display; running on the console"), std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("读取本地更新文件错误，请下载紧急更新文件！"), std::string::npos) << run.output;
}

TEST(ProgramExitStatus, WindowPatchUpdateRunsToItsEnd) {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    const char* required = std::getenv("FARLAUNCH_REQUIRE_DISPLAY");
    if (required != nullptr && *required != '\0') FAIL() << "no X display";
    GTEST_SKIP() << "no X display";
  }
  PatchSite game;
  const Outcome run = RunLauncher("--exit-on-finish", kWithTheDisplay);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(game.Updated());
}

}  // namespace
