// farLaunch.exe in the headless front end against the demo site: every
// scenario runs the real program in a game directory and checks what it
// leaves and how it ends.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>

#include "e2e/scenario.h"

namespace e2e {
namespace {

// Where the page starts the game, the launch ends the launcher; the end at
// completion waits for the page's first load, so that launch is not lost.
const std::vector<std::string> kHeadless = {"--headless", "--exit-on-finish"};

// Runs the launcher to its end; -1 when it did not end in time.
int RunLauncher(Scenario& scenario, const std::vector<std::string>& arguments, const std::string& output) {
  return RunToEnd(scenario.Game().Launcher(arguments, scenario.Output(output)), kPatience);
}

// The demo site is signed and its items hashed: the scenarios that follow
// the demo's main job run verified against the demo publisher's key, as
// scripts/demo does; the others run without a key, as every game directory
// did before keys.
TEST(HeadlessEndToEnd, FullInstallThenTheLoginParkedOnThePageStartsTheClient) {
  Scenario scenario;
  scenario.PrepareGame("servercfg-autologin.xml", /*withClient=*/false);
  scenario.Game().AddPublisherKey();

  EXPECT_EQ(RunLauncher(scenario, kHeadless, "run.txt"), 0) << ReadFile(scenario.Output("run.txt"));

  GameDirectory& game = scenario.Game();
  ASSERT_TRUE(game.Has("client.exe"));
  EXPECT_TRUE(game.IsExecutable("client.exe"));
  scenario.ExpectVersion3Installed();
  EXPECT_EQ(game.Read("base.dat"), ReadFile(std::filesystem::path(FARLAUNCH_SOURCE_DIR) / "demo/versions/0003-1.0.3/base.dat"));
  // The client runs on after the launcher has ended: wait for its note.
  ASSERT_TRUE(WaitUntil([&] { return game.Read("client-args.txt") == kDemoLaunch; }, 30s))
      << game.Read("client-args.txt");
  std::set<std::string> expected = kVersion3Data;
  expected.insert({"farLaunch.exe", "updatecfg.xml", "client.exe", "base.dat", "client-args.txt", "publisher.pub",
                   "farLaunch.signedtime", "farLaunch.lock"});
  EXPECT_EQ(game.Files(), expected);
  EXPECT_NE(ReadFile(scenario.Output("run.txt")).find("更新完成"), std::string::npos);
}

TEST(HeadlessEndToEnd, PatchChainFromTheOldestVersionRewritesTheVersionDocument) {
  Scenario scenario;
  scenario.PrepareGame("servercfg.xml", /*withClient=*/true);
  scenario.Game().AddPublisherKey();
  // The demo's documents name no manifest: this is the patch path (a
  // farpublish site's manifests, in a format this launcher reads or not, are
  // the ManifestUpdate tests').

  EXPECT_EQ(RunLauncher(scenario, kHeadless, "run.txt"), 0) << ReadFile(scenario.Output("run.txt"));

  scenario.ExpectVersion3Installed();
  const std::string output = ReadFile(scenario.Output("run.txt"));
  EXPECT_NE(output.find("更新完成"), std::string::npos) << output;
  // Each archive is named while it arrives, however soon it is complete.
  for (const std::string patch : {"patch-0002.zip", "patch-0003.zip"}) {
    EXPECT_NE(output.find("100% 正在下载文件:" + patch), std::string::npos) << output;
  }
  EXPECT_FALSE(scenario.Game().Has("client-args.txt"));
}

TEST(HeadlessEndToEnd, LauncherUpdateInstallsTheNewLauncherAndTheRestartedOneCompletes) {
  Scenario scenario({/*ftp=*/false, /*large=*/false, /*launcher=*/true});
  scenario.PrepareGame("servercfg-launcher.xml", /*withClient=*/true);
  GameDirectory& game = scenario.Game();
  game.AddPublisherKey();

  EXPECT_EQ(RunLauncher(scenario, kHeadless, "run.txt"), 0) << ReadFile(scenario.Output("run.txt"));

  scenario.ExpectNewLauncherInstalled();
  // The restarted launcher (headless again) runs detached; its page logs
  // in once its own (empty) update is done and it starts the client.
  EXPECT_TRUE(WaitUntil([&] { return game.Read("client-args.txt") == kDemoLaunch; }))
      << ReadFile(scenario.Output("run.txt"));
  EXPECT_FALSE(game.Has("tmpUpdate0"));
  EXPECT_NE(ReadFile(scenario.Output("run.txt")).find("farLaunch更新完成，请重新开启游戏！"), std::string::npos);
}

TEST(HeadlessEndToEnd, CrashDumpIsUploadedAtStartUp) {
  Scenario scenario({/*ftp=*/true});
  scenario.PrepareGame("servercfg.xml", /*withClient=*/true);
  scenario.Game().Write("game.dmp", CrashDumpBytes());

  EXPECT_EQ(RunLauncher(scenario, kHeadless, "run.txt"), 0) << ReadFile(scenario.Output("run.txt"));

  scenario.ExpectCrashDumpUploaded();
  scenario.ExpectVersion3Installed();
}

// A signal is a cancel: the update did not finish, and the run says so.
TEST(HeadlessEndToEnd, ClosingTheConsoleDuringAPatchDownloadEndsTheLauncherAsAFailure) {
  Scenario scenario({/*ftp=*/false, /*large=*/true});
  scenario.PrepareGame("servercfg-slow.xml", /*withClient=*/true);
  GameDirectory& game = scenario.Game();
  const std::string versionDocument = game.Read("updatecfg.xml");

  ChildProcess launcher(game.Launcher(kHeadless, scenario.Output("run.txt")));
  ASSERT_TRUE(WaitUntil([&] {
    std::error_code error;
    return std::filesystem::file_size(game.Path() / "farLaunch.download.0002.1.part", error) > 0 && !error;
  })) << ReadFile(scenario.Output("run.txt"));
  launcher.Signal(SIGTERM);

  EXPECT_EQ(launcher.WaitForExit(60s), 1) << ReadFile(scenario.Output("run.txt"));
  EXPECT_NE(game.Read("farLaunch.log").find("SIGTERM stopped the launcher before the update finished"),
            std::string::npos)
      << game.Read("farLaunch.log");
  EXPECT_EQ(game.Read("updatecfg.xml"), versionDocument);
  EXPECT_FALSE(game.Has("data/large.bin"));
  // What arrived is kept for the next start to go on from.
  EXPECT_TRUE(game.Has("farLaunch.download.0002.1.part"));
  EXPECT_TRUE(game.Has("farLaunch.download.0002.1.part.meta"));
}

TEST(HeadlessEndToEnd, FailuresEndWithStatusOneAndTheirMessage) {
  Scenario scenario;
  GameDirectory& game = scenario.Game();
  game.AddLauncher();
  game.AddClient();

  // No updatecfg.xml.
  EXPECT_EQ(RunLauncher(scenario, kHeadless, "missing.txt"), 1);
  EXPECT_NE(ReadFile(scenario.Output("missing.txt")).find("读取本地更新文件错误，请下载紧急更新文件！"), std::string::npos)
      << ReadFile(scenario.Output("missing.txt"));

  // An installed version the server no longer lists: the cut-off version.
  game.WriteVersionDocument(scenario.Site().Url("servercfg.xml"), "0000");
  EXPECT_EQ(RunLauncher(scenario, kHeadless, "cutoff.txt"), 1);
  EXPECT_NE(ReadFile(scenario.Output("cutoff.txt")).find("处于截断版本请登录网站重新下载"), std::string::npos)
      << ReadFile(scenario.Output("cutoff.txt"));

  // A patch the server does not have.
  std::ofstream(scenario.Site().Folder() / "servercfg-broken.xml")
      << "<?xml version=\"1.0\"?>\n<GameVersion PackageCode=\"0001\"></GameVersion>\n"
         "<GameVersion MainVersion=\"1\" SubVersion=\"0\" FileVersion=\"2\" PackageCode=\"0002\">\n"
         "<File Type=\"normal\" TargetFileName=\"patch-0002.zip\" SourceFileAddr=\""
      << scenario.Site().Url("missing.zip") << "\"></File>\n</GameVersion>\n";
  game.WriteVersionDocument(scenario.Site().Url("servercfg-broken.xml"));
  EXPECT_EQ(RunLauncher(scenario, kHeadless, "broken.txt"), 1);
  EXPECT_NE(ReadFile(scenario.Output("broken.txt")).find("下载失败！！请检查网络重新下载"), std::string::npos)
      << ReadFile(scenario.Output("broken.txt"));
  EXPECT_EQ(game.InstalledVersion()["PackageCode"], "0001");
  EXPECT_FALSE(game.Has("client.zip"));
}

TEST(HeadlessEndToEnd, CommandLine) {
  Scenario scenario;
  scenario.PrepareGame("servercfg.xml", /*withClient=*/true);

  EXPECT_EQ(RunLauncher(scenario, {"--bogus"}, "usage.txt"), 2);
  EXPECT_NE(ReadFile(scenario.Output("usage.txt")).find("--exit-on-finish"), std::string::npos);
  EXPECT_EQ(RunLauncher(scenario, {"--help"}, "help.txt"), 0);
  EXPECT_NE(ReadFile(scenario.Output("help.txt")).find("--headless"), std::string::npos);
  EXPECT_EQ(RunLauncher(scenario, {"--version"}, "version.txt"), 0);
  EXPECT_NE(ReadFile(scenario.Output("version.txt")).find("farLaunch"), std::string::npos);
  // None of these touched the game.
  EXPECT_EQ(scenario.Game().InstalledVersion()["PackageCode"], "0001");
}

// Shapes of the document that the dialect's tree does not load but
// publishers write: item elements closed by "/>", a comment, text inside an
// item element. The launcher reads them as it always did.
TEST(HeadlessEndToEnd, ADocumentInTheShapesPublishersWriteUpdatesAsBefore) {
  Scenario scenario;
  std::string document = ReadFile(scenario.Site().Folder() / "servercfg.xml");
  const std::string declaration = "<?xml version=\"1.0\"?>\n";
  ASSERT_EQ(document.rfind(declaration, 0), 0u);
  document.insert(declaration.size(), "<!-- the harbour patches -->\n");
  const std::string itemEnd = "></File>";
  std::size_t at = document.find(itemEnd);
  ASSERT_NE(at, std::string::npos);
  document.replace(at, itemEnd.size(), ">the first patch</File>");
  while ((at = document.find(itemEnd)) != std::string::npos) document.replace(at, itemEnd.size(), " />");
  std::ofstream(scenario.Site().Folder() / "servercfg-shapes.xml", std::ios::binary) << document;
  scenario.PrepareGame("servercfg-shapes.xml", /*withClient=*/true);

  EXPECT_EQ(RunLauncher(scenario, kHeadless, "run.txt"), 0) << ReadFile(scenario.Output("run.txt"));
  scenario.ExpectVersion3Installed();
}

// A captive portal's page instead of the document: the fetch is tried
// again and again, and the run ends as one that got no document.
TEST(HeadlessEndToEnd, APortalsPageIsNoServerDocument) {
  Scenario scenario;
  std::ofstream(scenario.Site().Folder() / "portal.xml", std::ios::binary)
      << "<html><head><title>Hotel WLAN</title></head><body><form action=\"/login\" method=\"post\">"
         "<input type=\"text\" name=\"room\"></form></body></html>\n";
  scenario.PrepareGame("portal.xml", /*withClient=*/true);

  EXPECT_EQ(RunLauncher(scenario, kHeadless, "run.txt"), 1);
  EXPECT_NE(ReadFile(scenario.Output("run.txt")).find("服务器配置档读取错误！"), std::string::npos);
  EXPECT_EQ(scenario.Game().InstalledVersion()["PackageCode"], "0001");
}

}  // namespace
}  // namespace e2e
