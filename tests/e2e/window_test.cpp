// farLaunch.exe in its window under the X display (Xvfb in CI) with the
// real WebKitGTK page, driven like a player would: xdotool clicks on the
// page's login button, the close button and the message box. Screenshots of
// the window at the start and at "更新完成" stay in the build directory.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>

#include "e2e/scenario.h"
#include "e2e/silent_server.h"
#include "e2e/x_session.h"

namespace e2e {
namespace {

constexpr const char* kTitle = "雾港";
constexpr int kWindowWidth = 1034;
constexpr int kWindowHeight = 686;
// Screen points (the window sits at the origin): the close button, the
// demo page's login button (fixed at the panel's bottom right), a point of
// the page's background and the status label.
constexpr int kCloseX = 997, kCloseY = 142;
constexpr int kLoginX = 894, kLoginY = 494;
constexpr int kPageX = 660, kPageY = 450;
constexpr const char* kPageBackground = "101826";
constexpr ScreenWindow kStatus = {430, 542, 210, 15};

const std::filesystem::path kShots = std::filesystem::path(FARLAUNCH_BINARY_DIR) / "tests/e2e";

class WindowEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    // Without an X server these skip, except where the test runner
    // promised one (scripts/test sets FARLAUNCH_REQUIRE_DISPLAY).
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
      const char* required = std::getenv("FARLAUNCH_REQUIRE_DISPLAY");
      if (required != nullptr && *required != '\0') FAIL() << "no X display";
      GTEST_SKIP() << "no X display";
    }
    display_ = display;
  }

  // A game directory for a window run: the launcher with its window module.
  static void PrepareWindowGame(Scenario& scenario, const std::string& document, bool withClient) {
    scenario.PrepareGame(document, withClient);
    scenario.Game().AddWindowModule();
  }

  // The launcher in its window; console output to run.txt.
  ProcessPlan WindowLauncher(Scenario& scenario) const {
    return scenario.Game().Launcher({}, scenario.Output("run.txt"), display_);
  }

  static bool MainWindowShown(const XSession& x) {
    for (const ScreenWindow& window : x.VisibleWindows(kTitle)) {
      if (window.width >= kWindowWidth) return true;
    }
    return false;
  }

  // Saves the screen to `png` once the window shows the page; true then.
  static bool ShotWithPage(const XSession& x, const std::filesystem::path& png) {
    return x.SaveScreen(png) && x.Pixel(png, kPageX, kPageY) == kPageBackground;
  }

  // The patch's archive has begun to arrive.
  static bool PatchDownloadUnderWay(const GameDirectory& game) {
    std::error_code error;
    return std::filesystem::file_size(game.Path() / "farLaunch.download.0002.1.part", error) > 0 && !error;
  }

  // The files of a game whose patch download was stopped: besides the log
  // (which says that this game directory has no publisher key) and the
  // lock, the partial download kept for the next start.
  static std::set<std::string> WithPartialDownload(std::set<std::string> files) {
    files.insert({"farLaunch.log", "farLaunch.download.0002.1.part", "farLaunch.download.0002.1.part.meta",
                  "farLaunch.lock"});
    return files;
  }

  // Clicks at a point again and again until the launcher has ended.
  static std::optional<int> ClickUntilEnded(const XSession& x, ChildProcess& launcher, int px, int py) {
    const auto end = std::chrono::steady_clock::now() + kPatience;
    while (std::chrono::steady_clock::now() < end) {
      x.ClickAt(px, py);
      if (std::optional<int> status = launcher.WaitForExit(15s)) return status;
    }
    return std::nullopt;
  }

  std::string display_;
};

TEST_F(WindowEndToEnd, FullInstallThenLoggingInOnThePageStartsTheClient) {
  Scenario scenario;
  PrepareWindowGame(scenario, "servercfg.xml", /*withClient=*/false);
  GameDirectory& game = scenario.Game();
  XSession x(scenario.Output(""));
  ChildProcess launcher(WindowLauncher(scenario));

  // The full package is unpacked and the version written back.
  ASSERT_TRUE(WaitUntil([&] {
    return game.Has("client.exe") && !game.Has("servercfg.xml") && game.InstalledVersion()["PackageCode"] == "0003";
  })) << ReadFile(scenario.Output("run.txt"));
  scenario.ExpectVersion3Installed();
  EXPECT_TRUE(game.IsExecutable("client.exe"));

  // "更新完成": the page is shown and the status line has settled.
  const std::filesystem::path finished = kShots / "e2e_window_finished.png";
  std::string status;
  ASSERT_TRUE(WaitUntil([&] {
    if (!ShotWithPage(x, finished)) return false;
    const std::string previous = status;
    status = x.Area(finished, kStatus.x, kStatus.y, kStatus.width, kStatus.height);
    return status == previous && x.ColoursIn(finished, kStatus.x, kStatus.y, kStatus.width, kStatus.height) > 1;
  })) << "the window never settled with the page shown";
  EXPECT_GT(x.ColoursIn(finished, 0, 0, kWindowWidth, kWindowHeight), 100);
  EXPECT_TRUE(launcher.Running());

  // Logging in as the page's default user "player" (UID 10000 + 653).
  EXPECT_EQ(ClickUntilEnded(x, launcher, kLoginX, kLoginY), 0) << ReadFile(scenario.Output("run.txt"));
  EXPECT_TRUE(WaitUntil([&] { return game.Has("client-args.txt"); }, 30s));
  EXPECT_EQ(game.Read("client-args.txt"),
            "ur;ip=127.0.0.1;port=7001;areaname=Harbour;tx_ip=127.0.0.1;LT=0;UNAME=player;SERIAL=SN-10653;"
            "UID=10653;SERVERID=1;SERVERNAME=Harbour;PayUrl=http://127.0.0.1/pay;Server=S1;Qid=Q10653;"
            "ClientUrl=http://127.0.0.1/client;CurServerID=1\n");
}

TEST_F(WindowEndToEnd, PatchChainWithTheLoginParkedUntilTheUpdateIsDone) {
  // The page logs in a player named 玩家: the name goes from the page's
  // UTF-8 through the launcher's code page (GBK) and reaches the client,
  // a Linux program, as UTF-8 again.
  Scenario scenario;
  std::string document = ReadFile(scenario.Site().Folder() / "servercfg-autologin.xml");
  const std::string demoLogin = "/autologin/demo";
  ASSERT_NE(document.find(demoLogin), std::string::npos);
  document.replace(document.find(demoLogin), demoLogin.size(), "/autologin/%E7%8E%A9%E5%AE%B6");
  std::ofstream(scenario.Site().Folder() / "servercfg-cn.xml", std::ios::binary) << document;
  PrepareWindowGame(scenario, "servercfg-cn.xml", /*withClient=*/true);
  ChildProcess launcher(WindowLauncher(scenario));

  EXPECT_EQ(launcher.WaitForExit(kPatience), 0) << ReadFile(scenario.Output("run.txt"));
  scenario.ExpectVersion3Installed();
  const std::string expected =
      "ur;ip=127.0.0.1;port=7001;areaname=Harbour;tx_ip=127.0.0.1;LT=0;UNAME=玩家;SERIAL=SN-11127;"
      "UID=11127;SERVERID=1;SERVERNAME=Harbour;PayUrl=http://127.0.0.1/pay;Server=S1;Qid=Q11127;"
      "ClientUrl=http://127.0.0.1/client;CurServerID=1\n";
  EXPECT_TRUE(WaitUntil([&] { return scenario.Game().Read("client-args.txt") == expected; }, 30s))
      << scenario.Game().Read("client-args.txt");
}

TEST_F(WindowEndToEnd, LauncherUpdateRestartsIntoTheNewLauncher) {
  Scenario scenario({/*ftp=*/false, /*large=*/false, /*launcher=*/true});
  PrepareWindowGame(scenario, "servercfg-launcher.xml", /*withClient=*/true);
  GameDirectory& game = scenario.Game();
  XSession x(scenario.Output(""));
  ChildProcess launcher(WindowLauncher(scenario));

  // "farLaunch更新完成，请重新开启游戏！" waits in a message box over the window.
  ScreenWindow box;
  ASSERT_TRUE(WaitUntil([&] {
    for (const ScreenWindow& window : x.VisibleWindows(kTitle)) {
      if (window.width < kWindowWidth / 2) box = window;
    }
    return box.width > 0;
  })) << ReadFile(scenario.Output("run.txt"));
  EXPECT_EQ(ClickUntilEnded(x, launcher, box.x + box.width / 2, box.y + box.height - 16), 0);

  scenario.ExpectNewLauncherInstalled();
  // The restarted launcher opens its window, finds nothing newer and its
  // page's parked login starts the client.
  EXPECT_TRUE(WaitUntil([&] { return game.Read("client-args.txt") == kDemoLaunch; }))
      << ReadFile(scenario.Output("run.txt"));
}

TEST_F(WindowEndToEnd, CrashDumpIsUploadedAtStartUp) {
  Scenario scenario({/*ftp=*/true});
  PrepareWindowGame(scenario, "servercfg-autologin.xml", /*withClient=*/true);
  scenario.Game().Write("game.dmp", CrashDumpBytes());
  ChildProcess launcher(WindowLauncher(scenario));

  EXPECT_EQ(launcher.WaitForExit(kPatience), 0) << ReadFile(scenario.Output("run.txt"));
  scenario.ExpectCrashDumpUploaded();
}

TEST_F(WindowEndToEnd, CloseButtonDuringAPatchDownloadLeavesOnlyThePartialDownload) {
  Scenario scenario({/*ftp=*/false, /*large=*/true});
  PrepareWindowGame(scenario, "servercfg-slow.xml", /*withClient=*/true);
  GameDirectory& game = scenario.Game();
  const std::set<std::string> before = game.Files();
  const std::string versionDocument = game.Read("updatecfg.xml");
  XSession x(scenario.Output(""));
  ChildProcess launcher(WindowLauncher(scenario));

  // The window shows the page while the archive trickles in.
  const std::filesystem::path start = kShots / "e2e_window_start.png";
  ASSERT_TRUE(WaitUntil([&] { return MainWindowShown(x) && ShotWithPage(x, start); }))
      << "the window never showed the page\n" << ReadFile(scenario.Output("run.txt"));
  ASSERT_TRUE(WaitUntil([&] { return PatchDownloadUnderWay(game); }))
      << "the patch download never got going\n" << ReadFile(scenario.Output("site.log"));
  EXPECT_GT(x.ColoursIn(start, 0, 0, kWindowWidth, kWindowHeight), 100);

  EXPECT_EQ(ClickUntilEnded(x, launcher, kCloseX, kCloseY), 0) << ReadFile(scenario.Output("run.txt"));
  EXPECT_EQ(game.Files(), WithPartialDownload(before));
  EXPECT_EQ(game.Read("updatecfg.xml"), versionDocument);
}

// A log-out or a shut-down (SIGTERM) during the patch download ends the
// window as its close button does, and says so: the update did not finish.
TEST_F(WindowEndToEnd, SigtermDuringAPatchDownloadEndsLikeTheCloseButtonAsAFailure) {
  Scenario scenario({/*ftp=*/false, /*large=*/true});
  PrepareWindowGame(scenario, "servercfg-slow.xml", /*withClient=*/true);
  GameDirectory& game = scenario.Game();
  const std::set<std::string> before = game.Files();
  const std::string versionDocument = game.Read("updatecfg.xml");
  ChildProcess launcher(WindowLauncher(scenario));
  ASSERT_TRUE(WaitUntil([&] { return PatchDownloadUnderWay(game); }))
      << "the patch download never got going\n" << ReadFile(scenario.Output("run.txt"));

  launcher.Signal(SIGTERM);
  EXPECT_EQ(launcher.WaitForExit(kPatience), 1) << ReadFile(scenario.Output("run.txt"));
  EXPECT_NE(game.Read("farLaunch.log").find("SIGTERM stopped the launcher before the update finished"),
            std::string::npos)
      << game.Read("farLaunch.log");
  EXPECT_EQ(game.Files(), WithPartialDownload(before));
  EXPECT_EQ(game.Read("updatecfg.xml"), versionDocument);
}

// With the update server silent the window is drawn and answers at once:
// the close button ends the launcher while its fetch still waits.
TEST_F(WindowEndToEnd, ASilentServerLeavesTheWindowDrawnAndItsCloseButtonAnswered) {
  Scenario scenario;
  SilentServer silent;
  PointAtSilentServer(scenario.Game(), silent);
  scenario.Game().AddWindowModule();
  XSession x(scenario.Output(""));
  ChildProcess launcher(WindowLauncher(scenario));

  const std::filesystem::path fetching = kShots / "e2e_window_fetching.png";
  ASSERT_TRUE(WaitUntil([&] {
    return MainWindowShown(x) && x.SaveScreen(fetching) &&
           x.ColoursIn(fetching, 0, 0, kWindowWidth, kWindowHeight) > 100 &&
           x.ColoursIn(fetching, kStatus.x, kStatus.y, kStatus.width, kStatus.height) > 1;
  })) << "the window was never drawn\n" << ReadFile(scenario.Output("run.txt"));

  x.ClickAt(kCloseX, kCloseY);
  EXPECT_EQ(launcher.WaitForExit(kPatience), 0);
  // Ended by the click, not after the fetch gave up (ten seconds).
  const std::string log = scenario.Game().Has("farLaunch.log") ? scenario.Game().Read("farLaunch.log") : "";
  EXPECT_EQ(log.find("server document (" + silent.Url("/servercfg.xml") + ")"), std::string::npos) << log;
}

// The window of a launcher whose server document stalls; a second start in
// the same game directory asks it to come forward and ends.
TEST_F(WindowEndToEnd, ASecondStartBringsTheRunningWindowForward) {
  Scenario scenario;
  SilentServer silent;
  PointAtSilentServer(scenario.Game(), silent);
  scenario.Game().AddWindowModule();
  ChildProcess first(WindowLauncher(scenario));
  XSession x(scenario.Output(""));
  ASSERT_TRUE(WaitUntil([&] { return MainWindowShown(x); })) << ReadFile(scenario.Output("run.txt"));
  // A window of another program covers the launcher.
  ChildProcess cover({{"xmessage", "-geometry", "1200x760+0+0", "cover"}, {}, {{"DISPLAY", display_}}, "/dev/null"});
  // Whether the launcher's window lies above the cover (or below it), both
  // being shown: a cover not yet mapped could still come up over a window
  // that was brought forward.
  const auto above = [&](bool launcherFirst) {
    RunToEnd({{"xwininfo", "-root", "-children"}, {}, {{"DISPLAY", display_}}, scenario.Output("stack.txt")}, 30s);
    const std::string stack = ReadFile(scenario.Output("stack.txt"));
    const std::size_t launcher = stack.find(std::string("\"") + kTitle + "\"");
    const std::size_t covering = stack.find("\"xmessage\"");
    // xwininfo lists the topmost window first.
    return launcher != std::string::npos && covering != std::string::npos && (launcher < covering) == launcherFirst;
  };
  const auto onTop = [&] { return above(true); };
  ASSERT_TRUE(WaitUntil([&] { return above(false); }, 30s));

  ProcessPlan second = WindowLauncher(scenario);
  second.output = scenario.Output("second.txt");
  EXPECT_EQ(RunToEnd(second, kPatience), 0);
  EXPECT_NE(ReadFile(scenario.Output("second.txt")).find("another farLaunch.exe is running in"), std::string::npos);
  // The first serves the request while its fetch still waits.
  EXPECT_TRUE(WaitUntil(onTop, 60s));
  EXPECT_TRUE(first.Running());
}

}  // namespace
}  // namespace e2e
