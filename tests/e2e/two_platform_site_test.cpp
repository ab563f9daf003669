// One site for both platforms, as farpublish builds it from client builds
// holding the Windows launcher (farLaunch.exe) and the Linux one
// (farLaunch): the Linux launcher updates itself to the Linux program and
// never fetches the Windows one. (The Windows launcher's side runs under
// wine: windows_launcher_test.cpp.)
#include <gtest/gtest.h>

#include "e2e/e2e_harness.h"
#include "e2e/published_site.h"
#include "support/program_bytes.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

TEST(TwoPlatformSite, TheLinuxLauncherUpdatesItselfToTheLinuxProgram) {
  Scratch scratch;
  RangeHttpServer server;
  const std::string marker = "\nfarLaunch two platforms 0002\n";
  const std::string linux = ReadFile(fs::path(E2E_INSTALL_DIR) / "farLaunch.exe");
  const std::string windows = ProgramBytes(ExecutableFormat::WindowsPe, "the Windows launcher");
  BuildFiles first = {
      {"client.exe", ReadFile(fs::path(FARLAUNCH_SOURCE_DIR) / "demo/versions/0001-1.0.1/client.exe")},
      {"readme.txt", "1"},
      {"farLaunch.exe", windows},
      {"farLaunch", linux}};
  BuildFiles second = first;
  second["readme.txt"] = "2";
  second["farLaunch.exe"] = windows + marker;
  second["farLaunch"] = linux + marker;
  PublishBuilds({first, second}, scratch.Path(), server);
  GameDirectory game(scratch.Path() / "game");
  game.WriteVersionDocument(server.Url("/servercfg.xml"));
  game.AddLauncher();
  game.AddClient();
  game.AddPublisherKey();
  const fs::path output = scratch.Path() / "run.txt";

  EXPECT_EQ(RunToEnd(game.Launcher({"--headless", "--exit-on-finish"}, output), kPatience), 0) << ReadFile(output);

  EXPECT_EQ(game.Read("farLaunch.exe"), linux + marker);
  EXPECT_TRUE(game.IsExecutable("farLaunch.exe"));
  EXPECT_EQ(game.InstalledVersion()["PackageCode"], "0002");
  EXPECT_EQ(game.Read("readme.txt"), "2");
  EXPECT_FALSE(game.Has("farLaunch"));
  EXPECT_TRUE(server.Requests("/launcher-0002.zip").empty()) << "the Windows launcher is not fetched";
  // The restarted (Linux) launcher finishes and its page starts the client.
  EXPECT_TRUE(WaitUntil([&] { return game.Has("client-args.txt"); })) << ReadFile(output);
  EXPECT_TRUE(WaitUntil([&] { return !game.Has("tmpUpdate0"); }));
}

}  // namespace
}  // namespace e2e
