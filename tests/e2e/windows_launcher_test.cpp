// The Windows farLaunch.exe (scripts/build-windows), headless under wine
// and in its window on the X display, against a signed site that the Linux farpublish made from client builds
// with Chinese and mixed-case names, served on loopback. It runs when
// FARLAUNCH_WINDOWS_LAUNCHER names that program (scripts/test --windows
// does); otherwise it is skipped.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <random>

#include "e2e/e2e_harness.h"
#include "e2e/published_site.h"
#include "e2e/server3_launch.h"
#include "e2e/x_session.h"
#include "support/range_http_server.h"
#include "support/wine_client.h"
#include "trust/sha256.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

using Files = BuildFiles;
const std::vector<std::string> kHeadless = {"--headless", "--exit-on-finish"};
const fs::path kInstalled = E2E_INSTALL_DIR;
const fs::path kSource = FARLAUNCH_SOURCE_DIR;
const std::string kMarker = "\nfarLaunch update 0004\n";
// What the launcher keeps of its own in the game directory besides the game.
const std::set<std::string> kLauncherFiles = {"farLaunch.exe", "updatecfg.xml", "farLaunch.lock", "farLaunch.log",
                                              "farLaunch.signedtime", "publisher.pub", "rh_game.ini",
                                              "client-command-line.txt", "farLaunch.manifest", "farLaunch.files"};

// The window's caption and class, and its close and minimise buttons on the screen.
const std::string kTitle = "雾港";
const std::string kWindowClass = "farLaunchWindow";
constexpr int kCloseX = 997;
constexpr int kCloseY = 141;
constexpr int kMinimiseX = 969;
constexpr int kMinimiseY = 142;

std::optional<fs::path> WindowsLauncherBuild() {
  const char* path = std::getenv("FARLAUNCH_WINDOWS_LAUNCHER");
  if (path == nullptr || *path == '\0') return std::nullopt;
  return fs::path(path);
}

std::string Noise(std::mt19937& random, std::size_t size) {
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xff);
  return bytes;
}

// Three client builds: names in Chinese and in mixed letter case, files
// replaced, added and (the last) grown to a package that takes a while.
std::vector<Files> Releases(const std::string& client) {
  std::mt19937 random(26);
  std::vector<Files> releases(3);
  releases[0] = {{"client.exe", client},
                 {"Data/Readme.TXT", "readme 1"},
                 {"地图/港口.map", Noise(random, 64 << 10)},
                 {"Base.DAT", "base 1"}};
  releases[1] = releases[0];
  releases[1]["Data/Readme.TXT"] = "readme 2";
  releases[1]["地图/港口.map"] = Noise(random, 80 << 10);
  releases[1]["地图/新区/灯塔.MAP"] = Noise(random, 16 << 10);
  releases[2] = releases[1];
  releases[2]["Base.DAT"] = Noise(random, 3 << 20);
  releases[2]["Data/Readme.TXT"] = "readme 3";
  return releases;
}

class WindowsLauncherEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    launcher_ = WindowsLauncherBuild();
    if (!launcher_) GTEST_SKIP() << "FARLAUNCH_WINDOWS_LAUNCHER names no Windows farLaunch.exe";
    if (const std::optional<std::string> missing = WineMissing()) GTEST_SKIP() << *missing;
    if (!WindowsClient()) GTEST_SKIP() << "no stand-in Windows client (MinGW is missing)";
    prefix_ = std::make_unique<WinePrefix>();
    releases_ = Releases(ReadFile(*WindowsClient()));
  }

  // The site for the releases (and, with `launcherUpdate`, a fourth one
  // carrying a new farLaunch.exe; with `linuxLauncher` too, a new Linux
  // launcher beside it), signed with the demo key, each file served; its
  // page logs in on server 3 once the update is done.
  // Without `manifests` the document names none: the launcher walks the patches.
  void Publish(bool launcherUpdate, bool linuxLauncher = false, bool manifests = true) {
    std::vector<Files> builds = releases_;
    if (launcherUpdate) {
      builds.push_back(builds.back());
      builds.back()["farLaunch.exe"] = ReadFile(*launcher_) + kMarker;
    }
    if (linuxLauncher) {
      for (Files& build : builds) build["farLaunch"] = ReadFile(kInstalled / "farLaunch.exe");
      builds.back()["farLaunch"] += kMarker;
    }
    PublishBuilds(builds, scratch_.Path(), server_, manifests);
  }

  // A game directory at release 0001 (without its client when `withClient`
  // is false), with the Windows launcher and the demo publisher's key.
  void PrepareGame(bool withClient) {
    for (const auto& [name, content] : releases_[0]) {
      if (withClient || name != "client.exe") game_.Write(name, content);
    }
    fs::copy_file(*launcher_, game_.Path() / "farLaunch.exe");
    fs::copy_file(kSource / "demo/demo-publisher.pub", game_.Path() / "publisher.pub");
    game_.WriteVersionDocument(server_.Url("/servercfg.xml"));
  }

  // Wine's client can lose its server while the server cleans up after a
  // killed process ("wine client error:0: recvmsg"): that start never
  // reached the launcher, so it is made once more.
  int Run(const std::string& output) {
    const int status = RunToEnd(game_.WineLauncher(kHeadless, Output(output)), kPatience);
    if (status == 0 || ReadFile(Output(output)).find("wine client error:") == std::string::npos) return status;
    return RunToEnd(game_.WineLauncher(kHeadless, Output(output)), kPatience);
  }
  // The launcher in its window on the X display, started as a double-click
  // starts it.
  ProcessPlan WindowLauncher(const std::string& output) const {
    return game_.WineLauncher({}, Output(output), std::string(std::getenv("DISPLAY")));
  }
  static bool DisplayThere() {
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && *display != '\0';
  }
  // The windows on the screen with the launcher's caption, by width: the
  // window itself and its message boxes.
  static int WindowsWider(const XSession& x, int width, bool wider) {
    int count = 0;
    for (const ScreenWindow& window : x.VisibleWindows(kTitle)) count += (window.width >= width) == wider;
    return count;
  }
  fs::path Output(const std::string& name) const { return scratch_.Path() / name; }

  // The client was started in the game directory with the launch of
  // server 3 as its lpCmdLine, byte for byte.
  void ExpectTheClientStarted() {
    std::optional<WindowsCommandLine> seen;
    ASSERT_TRUE(WaitUntil([&] { return (seen = ReadWindowsCommandLine(game_.Path())).has_value(); }, 120s));
    EXPECT_EQ(seen->codePage, 936u);
    EXPECT_EQ(seen->parameters, Server3Parameters());
    const std::string tail = "client.exe\" " + Server3Parameters();
    ASSERT_GE(seen->commandLine.size(), tail.size());
    EXPECT_EQ(seen->commandLine.substr(seen->commandLine.size() - tail.size()), tail) << seen->commandLine;
  }

  std::optional<fs::path> launcher_;
  std::unique_ptr<WinePrefix> prefix_;
  std::vector<Files> releases_;
  Scratch scratch_;
  RangeHttpServer server_;
  GameDirectory game_{scratch_.Path() / "game"};
};

// A new player's silent setup puts the launcher, the site's document and
// the publisher's key in the folder given, registered for uninstalling; the
// launcher's first start installs the game from the site; the uninstaller
// removes the launcher and the game as installed, and keeps what the player
// made or changed (and the log that says so).
TEST_F(WindowsLauncherEndToEnd, ASilentSetupInstallsTheLauncherWhichInstallsTheGameAndTheUninstallerKeepsThePlayers) {
  if (std::system("command -v makensis >/dev/null") != 0) GTEST_SKIP() << "makensis is not installed";
  Publish(/*launcherUpdate=*/false);
  GameDirectory gameFiles{scratch_.Path() / "game-files"};
  gameFiles.WriteVersionDocument(server_.Url("/servercfg.xml"));
  const fs::path setup = scratch_.Path() / "Setup.exe";
  const ProcessPlan installer{{(kInstalled / "tools/farpublish").string(), "installer", "--launcher",
                               launcher_->string(), "--game-files", gameFiles.Path().string(), "--product",
                               "雾港测试", "--out", setup.string(), "--publisher-key",
                               (kSource / "demo/demo-publisher.pub").string()},
                              scratch_.Path(),
                              {},
                              Output("installer.txt")};
  ASSERT_EQ(RunToEnd(installer, kPatience), 0) << ReadFile(Output("installer.txt"));

  // /D= comes last and unquoted: the folder's Windows name through wine's Z: drive.
  std::string folder = "Z:" + game_.Path().string();
  std::replace(folder.begin(), folder.end(), '/', '\\');
  const ProcessPlan silentSetup{
      {"wine", setup.string(), "/S", "/D=" + folder}, scratch_.Path(), {}, Output("setup.txt")};
  ASSERT_EQ(RunToEnd(silentSetup, kPatience), 0) << ReadFile(Output("setup.txt"));
  EXPECT_EQ(ReadFile(game_.Path() / "farLaunch.exe"), ReadFile(*launcher_));
  EXPECT_EQ(ReadFile(game_.Path() / "updatecfg.xml"), ReadFile(gameFiles.Path() / "updatecfg.xml"));
  EXPECT_EQ(ReadFile(game_.Path() / "publisher.pub"), ReadFile(kSource / "demo/demo-publisher.pub"));
  const std::string registration = "'HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\雾港测试'";
  EXPECT_EQ(std::system(("wine reg query " + registration + " /v UninstallString >/dev/null 2>&1").c_str()), 0);
  EXPECT_FALSE(fs::exists(game_.Path() / "client.exe")) << "a silent setup starts no launcher";

  std::set<std::string> setupFiles = kLauncherFiles;
  setupFiles.insert("uninstall.exe");
  EXPECT_EQ(Run("run.txt"), 0) << ReadFile(Output("run.txt"));
  EXPECT_TRUE(game_.GameFiles(setupFiles) == releases_[2]) << ReadFile(Output("run.txt"));

  const std::string edited = "Base.DAT";
  game_.Write(edited, "the player's version");
  game_.Write("screenshots/shot1.png", "the player's");
  game_.Write("rh_game.ini", "[farLaunch]\nDownloadRateLimit=512\n");

  // _?= runs the uninstaller in place, so that wine returns when it is
  // done; it cannot delete itself then.
  const ProcessPlan uninstall{{"wine", (game_.Path() / "uninstall.exe").string(), "/S", "_?=" + folder},
                              scratch_.Path(),
                              {},
                              Output("uninstall.txt")};
  ASSERT_EQ(RunToEnd(uninstall, kPatience), 0) << ReadFile(Output("uninstall.txt"));
  for (const char* name : {"farLaunch.exe", "updatecfg.xml", "publisher.pub"}) {
    EXPECT_FALSE(fs::exists(game_.Path() / name)) << name;
  }
  EXPECT_NE(std::system(("wine reg query " + registration + " >/dev/null 2>&1").c_str()), 0);
  // What the client wrote is the game's own, as its saves would be.
  EXPECT_EQ(game_.Files(), (std::set<std::string>{edited, "screenshots/shot1.png", "rh_game.ini", "farLaunch.log",
                                                  "client-command-line.txt", "uninstall.exe"}))
      << ReadFile(game_.Path() / "farLaunch.log");
  EXPECT_EQ(game_.Read(edited), "the player's version");
}

TEST_F(WindowsLauncherEndToEnd, APatchChainWithChineseAndMixedCaseNamesInstallsByteExactlyAndStartsTheClient) {
  Publish(/*launcherUpdate=*/false, /*linuxLauncher=*/false, /*manifests=*/false);
  PrepareGame(/*withClient=*/true);

  EXPECT_EQ(Run("run.txt"), 0) << ReadFile(Output("run.txt"));

  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0003");
  EXPECT_TRUE(game_.GameFiles(kLauncherFiles) == releases_[2]) << ReadFile(Output("run.txt"));
  EXPECT_FALSE(server_.Requests("/patch-0003.zip").empty());
  EXPECT_NE(ReadFile(Output("run.txt")).find("更新完成"), std::string::npos) << ReadFile(Output("run.txt"));
  ExpectTheClientStarted();
}

TEST_F(WindowsLauncherEndToEnd, TheManifestsTakeTheSameNamesStraightToTheNewestRelease) {
  Publish(/*launcherUpdate=*/false);
  PrepareGame(/*withClient=*/true);

  EXPECT_EQ(Run("run.txt"), 0) << ReadFile(Output("run.txt"));

  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0003");
  EXPECT_TRUE(game_.GameFiles(kLauncherFiles) == releases_[2]) << ReadFile(Output("run.txt"));
  EXPECT_TRUE(server_.Requests("/patch-0002.zip").empty());
  ExpectTheClientStarted();
}

TEST_F(WindowsLauncherEndToEnd, ATamperedArchiveIsRefusedAndNothingIsInstalled) {
  Publish(/*launcherUpdate=*/false, /*linuxLauncher=*/false, /*manifests=*/false);
  std::string patch = ReadFile(scratch_.Path() / "site/patch-0002.zip");
  patch[patch.size() / 2] ^= 0x20;
  server_.Put("/patch-0002.zip", patch);
  PrepareGame(/*withClient=*/true);

  EXPECT_EQ(Run("run.txt"), 1) << ReadFile(Output("run.txt"));

  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0001");
  EXPECT_TRUE(game_.GameFiles(kLauncherFiles) == releases_[0]) << ReadFile(Output("run.txt"));
  EXPECT_NE(game_.Read("farLaunch.log").find("patch-0002.zip"), std::string::npos) << game_.Read("farLaunch.log");
}

// The damaged object is refused; the patches install the release instead.
TEST_F(WindowsLauncherEndToEnd, ATamperedObjectIsRefusedAndThePatchesInstallTheRelease) {
  Publish(/*launcherUpdate=*/false);
  Sha256 hash;
  hash.Update(releases_[2].at("Base.DAT"));
  const std::string sha256 = hash.FinishHex();
  const std::string object = "objects/" + sha256.substr(0, 2) + "/" + sha256;
  std::string bytes = ReadFile(scratch_.Path() / "site" / object);
  bytes[bytes.size() / 2] ^= 0x20;
  server_.Put("/" + object, bytes);
  PrepareGame(/*withClient=*/true);

  EXPECT_EQ(Run("run.txt"), 0) << ReadFile(Output("run.txt"));

  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0003");
  for (const auto& [name, content] : releases_[2]) EXPECT_EQ(game_.Read(name), content) << name;
  const std::string log = game_.Read("farLaunch.log");
  EXPECT_NE(log.find(object), std::string::npos) << log;
  EXPECT_NE(log.find("the patches are taken instead"), std::string::npos) << log;
}

TEST_F(WindowsLauncherEndToEnd, AFullInstallKilledHalfWayGoesOnFromItsPartialDownloadAtTheNextStart) {
  Publish(/*launcherUpdate=*/false);
  PrepareGame(/*withClient=*/false);
  // 512 KiB/s: seconds for the package, time enough to see it half-way.
  game_.Write("rh_game.ini", "[farLaunch]\nForceUpdateVersion=1\nDownloadRateLimit=512\n");
  const std::string package = "/client-0003.zip";
  const fs::path part = game_.Path() / "client.zip.part";
  {
    ChildProcess first(game_.WineLauncher(kHeadless, Output("first.txt")));
    std::error_code error;
    const std::uintmax_t half = ReadFile(scratch_.Path() / "site/client-0003.zip").size() / 2;
    ASSERT_TRUE(WaitUntil([&] { return fs::file_size(part, error) >= half && !error; })) << ReadFile(Output("first.txt"));
    first.Signal(SIGKILL);
    ASSERT_TRUE(first.WaitForExit(kPatience));
  }
  const std::uintmax_t kept = fs::file_size(part);
  EXPECT_FALSE(game_.Has("client.exe"));

  EXPECT_EQ(Run("second.txt"), 0) << ReadFile(Output("second.txt"));

  const std::vector<std::string> asked = server_.Requests(package);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_NE(asked[1].find("Range: bytes=" + std::to_string(kept) + "-\r\n"), std::string::npos) << asked[1];
  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0003");
  EXPECT_TRUE(game_.GameFiles(kLauncherFiles) == releases_[2]) << ReadFile(Output("second.txt"));
  ExpectTheClientStarted();
}

// One launcher per game directory: a second start waits a few seconds for
// the holder of farLaunch.lock, then refuses with its reason and status 1.
TEST_F(WindowsLauncherEndToEnd, ASecondLauncherInTheSameGameDirectoryRefusesWithStatusOne) {
  Publish(/*launcherUpdate=*/false);
  PrepareGame(/*withClient=*/false);
  // 64 KiB/s: the first launcher is still fetching when the second gives up.
  game_.Write("rh_game.ini", "[farLaunch]\nForceUpdateVersion=1\nDownloadRateLimit=64\n");
  ChildProcess first(game_.WineLauncher(kHeadless, Output("first.txt")));
  ASSERT_TRUE(WaitUntil([&] { return game_.Has("client.zip.part"); })) << ReadFile(Output("first.txt"));

  EXPECT_EQ(Run("second.txt"), 1) << ReadFile(Output("second.txt"));
  EXPECT_NE(ReadFile(Output("second.txt")).find("another farLaunch.exe is running in"), std::string::npos)
      << ReadFile(Output("second.txt"));
  first.Signal(SIGKILL);
  EXPECT_TRUE(first.WaitForExit(kPatience));
}

TEST_F(WindowsLauncherEndToEnd, ASelfUpdateRenamesTheRunningLauncherAsideAndTheRestartedOneCompletes) {
  Publish(/*launcherUpdate=*/true);
  PrepareGame(/*withClient=*/true);

  EXPECT_EQ(Run("run.txt"), 0) << ReadFile(Output("run.txt"));

  EXPECT_NE(ReadFile(Output("run.txt")).find("farLaunch更新完成，请重新开启游戏！"), std::string::npos)
      << ReadFile(Output("run.txt"));
  // The restarted launcher (headless again) finishes its own (empty) update
  // and its page starts the client.
  ExpectTheClientStarted();
  EXPECT_EQ(game_.Read("farLaunch.exe"), ReadFile(*launcher_) + kMarker);
  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0004");
  EXPECT_TRUE(WaitUntil([&] { return !game_.Has("tmpUpdate0"); }, 60s)) << "the old launcher is deleted once it ended";
  EXPECT_TRUE(game_.GameFiles(kLauncherFiles) == releases_[2]);
}

// A player still in the game: Windows deletes neither the running
// client.exe nor a read-only original once they are moved aside. The
// read-only one goes at once; the client's waits under the launcher's own
// name (a game file may take "tmpFile" + N) until a start after the game
// ended.
TEST_F(WindowsLauncherEndToEnd, AReadOnlyOriginalGoesAtOnceAndTheRunningClientAtTheNextStart) {
  releases_[2]["client.exe"] += "\nclient 0003\n";
  Publish(/*launcherUpdate=*/false, /*linuxLauncher=*/false, /*manifests=*/false);
  PrepareGame(/*withClient=*/true);
  fs::permissions(game_.Path() / "Data/Readme.TXT", fs::perms::all, fs::perm_options::remove);
  fs::permissions(game_.Path() / "Data/Readme.TXT", fs::perms::owner_read, fs::perm_options::add);
  ChildProcess running({{"wine", "client.exe", "stay"}, game_.Path(), {}, Output("running.txt")});
  ASSERT_TRUE(WaitUntil([&] { return ReadWindowsCommandLine(game_.Path()).has_value(); }, 120s))
      << ReadFile(Output("running.txt"));
  const auto leftovers = [&] {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(game_.Path())) {
      const std::string name = entry.path().filename().string();
      if (name.rfind("tmpFile", 0) == 0 || name.rfind("farLaunch.leftover.", 0) == 0) names.insert(name);
    }
    return names;
  };

  EXPECT_EQ(Run("run.txt"), 0) << ReadFile(Output("run.txt"));
  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0003");
  EXPECT_EQ(game_.Read("client.exe"), releases_[2].at("client.exe"));
  EXPECT_EQ(leftovers(), std::set<std::string>{"farLaunch.leftover.1"}) << game_.Read("farLaunch.log");
  EXPECT_NE(game_.Read("farLaunch.log").find("waits as farLaunch.leftover.1"), std::string::npos)
      << game_.Read("farLaunch.log");

  running.Signal(SIGKILL);
  ASSERT_TRUE(running.WaitForExit(kPatience));
  EXPECT_EQ(Run("again.txt"), 0) << ReadFile(Output("again.txt"));
  EXPECT_TRUE(leftovers().empty());
  EXPECT_TRUE(game_.GameFiles(kLauncherFiles) == releases_[2]);
}

// One site for both platforms: the Windows launcher takes the Windows
// program and never fetches the Linux one.
TEST_F(WindowsLauncherEndToEnd, OnASiteForBothPlatformsTheWindowsLauncherTakesTheWindowsProgram) {
  Publish(/*launcherUpdate=*/true, /*linuxLauncher=*/true);
  PrepareGame(/*withClient=*/true);

  EXPECT_EQ(Run("run.txt"), 0) << ReadFile(Output("run.txt"));

  ExpectTheClientStarted();
  EXPECT_EQ(game_.Read("farLaunch.exe"), ReadFile(*launcher_) + kMarker);
  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0004");
  EXPECT_TRUE(server_.Requests("/launcher-linux-0004.zip").empty());
  EXPECT_TRUE(game_.GameFiles(kLauncherFiles) == releases_[2]);
}

// Started without arguments on a display, the launcher is its skinned
// window: the skin with the key colour see-through, a progress bar that
// grows while the package downloads, and a page read without an HTML engine
// whose RunClient starts the game.
TEST_F(WindowsLauncherEndToEnd, TheWindowShowsTheSkinAndAGrowingBarAndItsPageStartsTheClient) {
  if (!DisplayThere()) GTEST_SKIP() << "no X display";
  constexpr int kKeyX = 10;  // the skin's key colour there: the desktop shows
  constexpr int kKeyY = 10;
  const int bar[] = {426, 564, 516, 20};  // x, y, width, height
  Publish(/*launcherUpdate=*/false);
  PrepareGame(/*withClient=*/false);
  // 512 KiB/s: seconds for the package, time for two screenshots.
  game_.Write("rh_game.ini", "[farLaunch]\nForceUpdateVersion=1\nDownloadRateLimit=512\n");
  XSession x(scratch_.Path());
  const fs::path desktop = Output("desktop.png");
  ASSERT_TRUE(x.SaveScreen(desktop));

  ChildProcess launcher(WindowLauncher("window.txt"));
  const fs::path first = Output("first.png");
  const fs::path second = Output("second.png");
  ASSERT_TRUE(WaitUntil([&] {
    return game_.Has("client.zip.part") && x.SaveScreen(first) && x.ColoursIn(first, 0, 0, 1034, 686) > 100;
  })) << ReadFile(Output("window.txt"));
  ASSERT_TRUE(WaitUntil([&] {
    return x.SaveScreen(second) && x.Area(second, bar[0], bar[1], bar[2], bar[3]) != x.Area(first, bar[0], bar[1], bar[2], bar[3]);
  })) << "the progress bar never moved";
  EXPECT_EQ(x.Pixel(second, kKeyX, kKeyY), x.Pixel(desktop, kKeyX, kKeyY));
  EXPECT_NE(x.Pixel(second, kKeyX, kKeyY), "CCCCCC");

  ExpectTheClientStarted();
  EXPECT_TRUE(launcher.WaitForExit(kPatience).has_value()) << ReadFile(Output("window.txt"));
  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0003");
  // The tests' wine has no HTML engine: the browser control was made, gave
  // no document, and the page was read as text.
  EXPECT_NE(ReadFile(Output("window.txt")).find("news page read as text: the browser control gave no document within"),
            std::string::npos)
      << ReadFile(Output("window.txt"));
}

// A second start in the same game directory leaves everything to the first,
// which it brings back from the task bar, and ends; while the full package
// is unpacked the close button asks first, and "cancel" lets the install
// finish.
TEST_F(WindowsLauncherEndToEnd, ASecondStartBringsTheFirstForwardAndEndsAndCloseDuringTheFullInstallAsksFirst) {
  if (!DisplayThere()) GTEST_SKIP() << "no X display";
  // Thousands of small files: an unpack under wine that lasts seconds.
  constexpr int kManyFiles = 4000;
  for (int i = 0; i < kManyFiles; ++i) releases_[2]["Many/" + std::to_string(i) + ".dat"] = std::to_string(i);
  Publish(/*launcherUpdate=*/false);
  PrepareGame(/*withClient=*/false);
  game_.Write("rh_game.ini", "[farLaunch]\nForceUpdateVersion=1\n");
  // The package's last bytes wait until the second start is over: the first
  // is downloading all along.
  RangeHttpServer::Answer held;
  held.cutAfter = ReadFile(scratch_.Path() / "site/client-0003.zip").size() - (64 << 10);
  held.holdAtCut = true;
  server_.Queue("/client-0003.zip", held);
  XSession x(scratch_.Path());
  const std::string display = std::getenv("DISPLAY");
  ChildProcess first(WindowLauncher("first.txt"));
  ASSERT_TRUE(WaitUntil([&] { return game_.Has("client.zip.part") && WindowsWider(x, 1034, true) == 1; }))
      << ReadFile(Output("first.txt"));
  // Wine leaves a minimised window on an X server without a window manager:
  // the system's word is asked.
  ASSERT_TRUE(x.ClickAt(kMinimiseX, kMinimiseY));
  ASSERT_TRUE(WaitUntil([&] { return WindowMinimised(kWindowClass, display) == true; })) << "it never minimised";

  EXPECT_EQ(RunToEnd(WindowLauncher("second.txt"), kPatience), 0) << ReadFile(Output("second.txt"));
  EXPECT_NE(ReadFile(Output("second.txt")).find("another farLaunch.exe is running in"), std::string::npos)
      << ReadFile(Output("second.txt"));
  EXPECT_TRUE(WaitUntil([&] { return WindowMinimised(kWindowClass, display) == false; }))
      << "the first window was not brought forward";
  EXPECT_TRUE(first.Running());
  server_.ReleaseHeld();

  // The unpack has begun and is far from done: the close button asks.
  ASSERT_TRUE(WaitUntil([&] { return game_.Has("Many/0.dat"); })) << ReadFile(Output("first.txt"));
  ASSERT_TRUE(x.ClickAt(kCloseX, kCloseY));
  ASSERT_TRUE(WaitUntil([&] { return WindowsWider(x, 1034, false) == 1; })) << "no question came up";
  EXPECT_FALSE(game_.Has("Many/" + std::to_string(kManyFiles - 1) + ".dat")) << "the unpack was over too soon";
  ASSERT_TRUE(x.PressKey("Escape"));  // the box's "cancel"

  ExpectTheClientStarted();
  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0003");
  EXPECT_TRUE(game_.Has("Many/" + std::to_string(kManyFiles - 1) + ".dat"));
  EXPECT_TRUE(first.WaitForExit(kPatience).has_value());
}

}  // namespace
}  // namespace e2e
