// The command line of farLaunch.exe, parsed and as the program answers it.
#include "app/launch_options.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

#include "update/update_fixture.h"

namespace {

TEST(LaunchOptionsTest, ParsesSeparateAndCombinedOptions) {
  LaunchOptions options;
  std::string error;
  ASSERT_TRUE(ParseLaunchOptions({"--headless --exit-on-finish"}, options, error));
  EXPECT_TRUE(options.headless);
  EXPECT_TRUE(options.exitOnFinish);
  EXPECT_EQ(RestartParameters(options), "--headless --exit-on-finish");
  EXPECT_EQ(RestartParameters(LaunchOptions()), "");

  LaunchOptions other;
  EXPECT_FALSE(ParseLaunchOptions({"--headless", "-x"}, other, error));
  EXPECT_EQ(error, "unknown option: -x");
}

struct Outcome {
  int status = -1;
  std::string output;
};

constexpr char kWithoutDisplay[] = "env -u DISPLAY -u WAYLAND_DISPLAY ";
constexpr char kWithTheDisplay[] = "";

// Runs the installed launcher in the current directory; `environment`
// prefixes the command.
Outcome RunLauncher(const std::string& arguments, const std::string& environment = kWithoutDisplay) {
  const std::string command = environment + FARLAUNCH_INSTALL_DIR + "/farLaunch.exe " + arguments + " 2>&1";
  Outcome outcome;
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) outcome.output += buffer;
  const int status = pclose(pipe);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
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

// A game directory at package 0001 with a local site offering 0002.
class PatchSite {
 public:
  PatchSite() {
    site.Put("/p2.zip", MakeZip({{"data/new.txt", "new"}}));
    ServerDocument document;
    document.versions = {ServerVersion{"1", "0", "1", "0001", {}},
                         ServerVersion{"1", "0", "2", "0002", {ServerItem{"normal", "p2.zip", site.Url("/p2.zip")}}}};
    site.Put("/servercfg.xml", document.Text());
    LocalVersion installed;
    installed.PackageCode = "0001";
    installed.UpdateServerAddr = site.Url("/servercfg.xml");
    dir.Write("updatecfg.xml", StoredVersionDocument(installed));
    dir.Write("client.exe", "client");
    dir.Write("rh_game.ini", "[farLaunch]\nAraeName=x\nForceUpdateVersion=1\n");
  }
  bool Updated() const {
    return dir.Read("data/new.txt") == "new" && ReadVersionDocument().find("PackageCode=\"0002\"") != std::string::npos;
  }

  GameDirectory dir;
  RecordingHttpServer site;
};

TEST(ProgramExitStatus, HeadlessPatchUpdateRunsToItsEnd) {
  PatchSite game;
  const Outcome run = RunLauncher("--exit-on-finish");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("更新完成"), std::string::npos) << run.output;
  EXPECT_TRUE(game.Updated());
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
