// farLaunch.exe (headless) on game directories as players and publishers
// have them: installed files spelt otherwise than the patches' entries,
// Chinese file names, a publisher's own version document, and a Windows
// client run through wine.
#include <gtest/gtest.h>

#include <csignal>

#include "e2e/scenario.h"
#include "e2e/server3_launch.h"
#include "support/code_page_text.h"
#include "support/wine_client.h"
#include "update/update_files.h"
#include "xml/base64.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kHeadless = {"--headless", "--exit-on-finish"};
const fs::path kDemo = fs::path(FARLAUNCH_SOURCE_DIR) / "demo";

int RunLauncher(Scenario& scenario, const std::string& output) {
  return RunToEnd(scenario.Game().Launcher(kHeadless, scenario.Output(output)), kPatience);
}

// A server document on the demo site: the installed entry 0001 and one
// more entry 0002 holding `items` (Type, TargetFileName, SourceFileAddr),
// with the site's `page`.
void PublishDocument(const Scenario& scenario, const std::string& name, const std::string& items,
                     const std::string& page = "news.html") {
  std::ofstream(scenario.Site().Folder() / name)
      << "<?xml version=\"1.0\"?>\n<GameVersion PackageCode=\"0001\"></GameVersion>\n"
         "<GameVersion MainVersion=\"1\" SubVersion=\"0\" FileVersion=\"2\" PackageCode=\"0002\">\n"
      << items << "</GameVersion>\n<Site WebAddr=\"" << scenario.Site().Url(page) << "\"></Site>\n";
}

std::string Item(const Scenario& scenario, const std::string& archive) {
  return "<File Type=\"normal\" TargetFileName=\"" + archive + "\" SourceFileAddr=\"" + scenario.Site().Url(archive) +
         "\"></File>\n";
}

TEST(GameFiles, PatchesReplaceFilesSpeltOtherwiseAndClientExeStarts) {
  Scenario scenario;
  GameDirectory& game = scenario.Game();
  game.WriteVersionDocument(scenario.Site().Url("servercfg-autologin.xml"));
  game.AddLauncher();
  game.AddPublisherKey();
  // As installed on the original platform, whose names ignore letter case.
  game.AddClient();
  fs::rename(game.Path() / "client.exe", game.Path() / "Client.exe");
  game.Write("DATA/HARBOUR.MAP", "installed");
  game.Write("README.TXT", "installed");

  EXPECT_EQ(RunLauncher(scenario, "run.txt"), 0) << ReadFile(scenario.Output("run.txt"));

  ASSERT_TRUE(WaitUntil([&] { return game.Read("client-args.txt") == kDemoLaunch; }, 60s))
      << "Client.exe is the client: " << ReadFile(scenario.Output("run.txt"));
  const fs::path newest = kDemo / "versions/0003-1.0.3";
  EXPECT_EQ(game.Read("DATA/HARBOUR.MAP"), ReadFile(newest / "data/harbour.map"));
  EXPECT_EQ(game.Read("DATA/maps/lighthouse.map"), ReadFile(newest / "data/maps/lighthouse.map"));
  EXPECT_EQ(game.Read("README.TXT"), ReadFile(newest / "readme.txt"));
  EXPECT_EQ(game.Files(), (std::set<std::string>{"Client.exe", "DATA/HARBOUR.MAP", "DATA/maps/lighthouse.map",
                                                 "README.TXT", "client-args.txt", "farLaunch.exe", "updatecfg.xml",
                                                 "publisher.pub", "farLaunch.signedtime", "farLaunch.lock"}))
      << "no second file or folder";
  EXPECT_EQ(game.InstalledVersion()["PackageCode"], "0003");
}

// A release may ship files under the original program's temporary names:
// they are game files to the update's write-back, and to the next start's
// close and launch.
TEST(GameFiles, FilesNamedLikeTheLaunchersTemporariesAreTheGames) {
  Scenario scenario;
  GameDirectory& game = scenario.Game();
  const std::map<std::string, std::string> shipped = {
      {"Diff.dat", "diff of 0002"}, {"tmp.tmp", "tmp of 0002"}, {"_tmp_up.dat", "up of 0002"}, {"Update.zip", "zip"}};
  std::map<std::string, std::string> entries = shipped;
  entries["readme.txt"] = "readme of 0002";
  std::ofstream(scenario.Site().Folder() / "shipped.zip", std::ios::binary) << MakeZip(entries);
  PublishDocument(scenario, "servercfg-shipped.xml", Item(scenario, "shipped.zip"));
  scenario.PrepareGame("servercfg-shipped.xml", /*withClient=*/true);
  const auto expectShipped = [&](const std::string& when) {
    for (const auto& [name, content] : shipped) EXPECT_EQ(game.Read(name), content) << name << " " << when;
  };

  EXPECT_EQ(RunLauncher(scenario, "update.txt"), 0) << ReadFile(scenario.Output("update.txt"));
  EXPECT_EQ(game.Read("readme.txt"), "readme of 0002");
  expectShipped("after the update");

  // The next start, closed (a signal ends it as the close button does).
  {
    ChildProcess launcher(game.Launcher({"--headless"}, scenario.Output("close.txt")));
    ASSERT_TRUE(WaitUntil([&] { return ReadFile(scenario.Output("close.txt")).find("更新完成") != std::string::npos; }))
        << ReadFile(scenario.Output("close.txt"));
    launcher.Signal(SIGTERM);
    EXPECT_EQ(launcher.WaitForExit(kPatience), 0) << ReadFile(scenario.Output("close.txt"));
  }
  expectShipped("after a close");

  // The next start, the game launched from the page.
  PublishDocument(scenario, "servercfg-shipped.xml", Item(scenario, "shipped.zip"), "autologin/demo");
  EXPECT_EQ(RunLauncher(scenario, "launch.txt"), 0) << ReadFile(scenario.Output("launch.txt"));
  ASSERT_TRUE(WaitUntil([&] { return game.Read("client-args.txt") == kDemoLaunch; }, 60s))
      << ReadFile(scenario.Output("launch.txt"));
  expectShipped("after a launch");
  EXPECT_EQ(game.InstalledVersion()["PackageCode"], "0002");
}

TEST(GameFiles, ChineseNamesAreInstalledUnderTheirUtf8Names) {
  Scenario scenario;
  // One patch as zip writes a name of the Chinese code page (地图/港口.map
  // in GBK), one whose UTF-8 names bsdtar marks as such.
  const fs::path source = scenario.Output("source");
  fs::create_directories(source / "gbk" / Gbk("地图"));
  WriteFile(source / "gbk" / Gbk("地图") / Gbk("港口.map"), "harbour");
  fs::create_directories(source / "utf8/地图");
  WriteFile(source / "utf8/地图/灯塔.map", "lighthouse");
  const fs::path site = scenario.Site().Folder();
  ASSERT_EQ(RunToEnd({{"sh", "-c", "cd gbk && LC_ALL=C zip -q -r '" + (site / "gbk.zip").string() + "' ."}, source, {}},
                     60s),
            0);
  ASSERT_EQ(RunToEnd({{"sh", "-c", "cd utf8 && bsdtar --format zip -cf '" + (site / "utf8.zip").string() + "' 地图"},
                      source,
                      {}},
                     60s),
            0);
  PublishDocument(scenario, "servercfg-names.xml", Item(scenario, "gbk.zip") + Item(scenario, "utf8.zip"));
  scenario.PrepareGame("servercfg-names.xml", /*withClient=*/true);

  EXPECT_EQ(RunLauncher(scenario, "run.txt"), 0) << ReadFile(scenario.Output("run.txt"));

  GameDirectory& game = scenario.Game();
  EXPECT_EQ(game.Read("地图/港口.map"), "harbour") << "the name the game looks up";
  EXPECT_EQ(game.Read("地图/灯塔.map"), "lighthouse");
  // The log holds one line: this game directory has no publisher key.
  EXPECT_EQ(game.Files(), (std::set<std::string>{"client.exe", "farLaunch.exe", "farLaunch.log", "farLaunch.lock",
                                                 "updatecfg.xml", "地图/港口.map", "地图/灯塔.map"}));
  EXPECT_EQ(game.InstalledVersion()["PackageCode"], "0002");
}

TEST(GameFiles, APublishersVersionDocumentKeepsItsAttributesAndTheirOrder) {
  Scenario scenario;
  GameDirectory& game = scenario.Game();
  // Written by a publisher's own tool: another order, no ForceUpdateVersion.
  const std::string address = scenario.Site().Url("servercfg.xml");
  const auto document = [&](const std::string& code, const std::string& file) {
    return "<?xml version=\"1.0\"?>\n<GameVersion WebAddr=\"http://w/\"  LoginServer=\"5\"  ProductName=\"FogHarbour\"  "
           "PackageCode=\"" + code + "\"  UpdateServerAddr=\"" + address + "\"  FileVersion=\"" + file +
           "\"  SubVersion=\"0\"  MainVersion=\"1\"  PackageName=\"FogHarbour\" >\n</GameVersion>\n";
  };
  game.Write("updatecfg.xml", Base64Encode(document("0001", "1")));
  game.AddLauncher();
  game.AddClient();

  EXPECT_EQ(RunLauncher(scenario, "run.txt"), 0) << ReadFile(scenario.Output("run.txt"));

  EXPECT_EQ(Base64Decode(game.Read("updatecfg.xml")), document("0003", "3"));
  EXPECT_EQ(game.InstalledVersion()["LoginServer"], "5");
}

TEST(GameFiles, AWindowsClientThroughWineGetsTheParameterStringByteForByte) {
  if (const std::optional<std::string> missing = WineMissing()) GTEST_SKIP() << *missing;
  const WinePrefix prefix;
  Scenario scenario;
  GameDirectory& game = scenario.Game();
  // The demo's page logs in on server 3, whose name is Chinese with a blank.
  std::string autologin = ReadFile(scenario.Site().Folder() / "servercfg-autologin.xml");
  const std::string page = "autologin/demo";
  autologin.replace(autologin.find(page), page.size(), "autologin/demo/3");
  WriteFile(scenario.Site().Folder() / "servercfg-server3.xml", autologin);
  game.WriteVersionDocument(scenario.Site().Url("servercfg-server3.xml"));
  game.AddLauncher();
  fs::copy_file(*WindowsClient(), game.Path() / "client.exe");

  EXPECT_EQ(RunLauncher(scenario, "run.txt"), 0) << ReadFile(scenario.Output("run.txt"));

  // Wine may have to set its prefix up first.
  std::optional<WindowsCommandLine> seen;
  ASSERT_TRUE(WaitUntil([&] { return (seen = ReadWindowsCommandLine(game.Path())).has_value(); }, 240s))
      << ReadFile(scenario.Output("run.txt"));
  const std::string parameters = Server3Parameters();
  EXPECT_EQ(seen->codePage, 936u);
  EXPECT_EQ(seen->parameters, parameters);
  const std::string tail = "client.exe\" " + parameters;
  ASSERT_GE(seen->commandLine.size(), tail.size());
  EXPECT_EQ(seen->commandLine.substr(seen->commandLine.size() - tail.size()), tail) << seen->commandLine;
}

}  // namespace
}  // namespace e2e
