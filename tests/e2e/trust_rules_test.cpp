// farLaunch.exe (headless) against the demo site as someone without the
// publisher's secret key may change it: a patch that brings its own key to
// a game without one, and signed documents served where they do not
// belong, after they expired, or with their signature relabelled. Nothing
// of it is installed, and farLaunch.log names the rule that refused it.
// The publisher's own key, shipped in a build, reaches no keyless game
// through the network either, and the game keeps updating.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "e2e/scenario.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kHeadless = {"--headless", "--exit-on-finish"};
const fs::path kDemo = fs::path(FARLAUNCH_SOURCE_DIR) / "demo";
const fs::path kFarpublish = fs::path(E2E_INSTALL_DIR) / "tools/farpublish";

struct LauncherRun {
  int status;
  std::string console;
  std::string log;
};

LauncherRun RunLauncher(Scenario& scenario, const std::string& output) {
  const int status = RunToEnd(scenario.Game().Launcher(kHeadless, scenario.Output(output)), kPatience);
  const fs::path log = scenario.Game().Path() / "farLaunch.log";
  return {status, ReadFile(scenario.Output(output)), fs::exists(log) ? ReadFile(log) : ""};
}

// Runs a bash command in the site's folder; true when it succeeded.
bool Shell(Scenario& scenario, const std::string& command) {
  return RunToEnd({{"bash", "-c", command}, scenario.Site().Folder(), {}, scenario.Output("shell.txt")}, kPatience) ==
         0;
}

std::uint64_t Now() {
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count());
}

TEST(TrustRules, APatchForAGameWithoutAKeyInstallsNoKey) {
  Scenario scenario;
  GameDirectory& game = scenario.Game();
  // The newest build ships a key of someone else's beside its files.
  ASSERT_TRUE(Shell(scenario, "mkdir takeover && cd takeover && printf 'untrusted comment: mine\\nRWQ\\n' > PUBLISHER.pub"
                              " && printf 'taken\\n' > readme.txt && zip -q ../patch-takeover.zip PUBLISHER.pub readme.txt"))
      << ReadFile(scenario.Output("shell.txt"));
  std::ofstream(scenario.Site().Folder() / "servercfg-takeover.xml")
      << "<?xml version=\"1.0\"?>\n<GameVersion PackageCode=\"0001\"></GameVersion>\n"
         "<GameVersion MainVersion=\"1\" SubVersion=\"0\" FileVersion=\"2\" PackageCode=\"0002\">\n"
         "<File Type=\"normal\" TargetFileName=\"patch-takeover.zip\" SourceFileAddr=\""
      << scenario.Site().Url("patch-takeover.zip") << "\"></File>\n</GameVersion>\n";
  scenario.PrepareGame("servercfg-takeover.xml", /*withClient=*/true);

  const LauncherRun run = RunLauncher(scenario, "takeover.txt");
  EXPECT_EQ(run.status, 0) << run.console;
  EXPECT_FALSE(game.Has("PUBLISHER.pub"));
  EXPECT_FALSE(game.Has("publisher.pub"));
  EXPECT_EQ(game.Read("readme.txt"), "taken\n");
  EXPECT_EQ(game.InstalledVersion()["PackageCode"], "0002");
  EXPECT_NE(run.log.find("ERROR farLaunch] PUBLISHER.pub (farLaunch.download.0002.1): an unverified update may not install a "
                         "publisher key"),
            std::string::npos)
      << run.log;
}

// A keyless game's patch that carries farLaunch.exe: only a program of this
// platform may replace the launcher, as the launcher item's rule says; a
// script is skipped, logged, and the rest of the patch installs.
TEST(TrustRules, APatchCarryingSomethingElseAsTheLauncherLeavesTheLauncher) {
  Scenario scenario;
  GameDirectory& game = scenario.Game();
  ASSERT_TRUE(Shell(scenario, "mkdir swap && cd swap && printf '#!/bin/sh\necho this is no launcher\n' > farLaunch.exe"
                              " && chmod 600 farLaunch.exe && printf 'taken\n' > readme.txt"
                              " && zip -q ../patch-swap.zip farLaunch.exe readme.txt"))
      << ReadFile(scenario.Output("shell.txt"));
  std::ofstream(scenario.Site().Folder() / "servercfg-swap.xml")
      << "<?xml version=\"1.0\"?>\n<GameVersion PackageCode=\"0001\"></GameVersion>\n"
         "<GameVersion MainVersion=\"1\" SubVersion=\"0\" FileVersion=\"2\" PackageCode=\"0002\">\n"
         "<File Type=\"normal\" TargetFileName=\"patch-swap.zip\" SourceFileAddr=\""
      << scenario.Site().Url("patch-swap.zip") << "\"></File>\n</GameVersion>\n";
  scenario.PrepareGame("servercfg-swap.xml", /*withClient=*/true);
  const std::string launcher = game.Read("farLaunch.exe");

  const LauncherRun run = RunLauncher(scenario, "swap.txt");
  EXPECT_EQ(run.status, 0) << run.console;
  EXPECT_EQ(game.Read("farLaunch.exe"), launcher);
  EXPECT_TRUE(game.IsExecutable("farLaunch.exe"));
  EXPECT_EQ(game.Read("readme.txt"), "taken\n");
  EXPECT_EQ(game.InstalledVersion()["PackageCode"], "0002");
  EXPECT_NE(run.log.find("farLaunch.exe is not a launcher for this platform (no program"), std::string::npos) << run.log;
}

// A publisher ships its key in its newest build (for players who install
// that build by hand): a game without a key updates through it and the
// next one without ever taking the key from the network.
TEST(TrustRules, AGameWithoutAKeyKeepsUpdatingPastABuildThatShipsTheKey) {
  Scenario scenario;
  GameDirectory& game = scenario.Game();
  const std::string publish = kFarpublish.string() + " build builds keyed --base-url " + scenario.Site().Url("keyed") +
                              " --sign " + (kDemo / "demo-publisher.key").string() + " < /dev/null";
  ASSERT_TRUE(Shell(scenario, "cp -r " + (kDemo / "versions").string() +
                                  " builds && cp -r builds/0003-1.0.3 builds/0004-1.0.4 && cp " +
                                  (kDemo / "demo-publisher.pub").string() +
                                  " builds/0004-1.0.4/publisher.pub && echo 4 > builds/0004-1.0.4/readme.txt && " +
                                  publish))
      << ReadFile(scenario.Output("shell.txt"));
  scenario.PrepareGame("keyed/servercfg.xml", /*withClient=*/true);

  const LauncherRun first = RunLauncher(scenario, "to-0004.txt");
  EXPECT_EQ(first.status, 0) << first.console;
  EXPECT_EQ(game.InstalledVersion()["PackageCode"], "0004");
  EXPECT_EQ(game.Read("readme.txt"), "4\n");
  EXPECT_FALSE(game.Has("publisher.pub"));
  EXPECT_NE(first.log.find("ERROR farLaunch] publisher.pub ("), std::string::npos) << first.log;
  EXPECT_NE(first.log.find("): an unverified update may not install a publisher key"), std::string::npos) << first.log;

  ASSERT_TRUE(Shell(scenario, "cp -r builds/0004-1.0.4 builds/0005-1.0.5 && echo 5 > builds/0005-1.0.5/readme.txt && "
                              "rm -rf keyed && " + publish))
      << ReadFile(scenario.Output("shell.txt"));
  const LauncherRun second = RunLauncher(scenario, "to-0005.txt");
  EXPECT_EQ(second.status, 0) << second.console;
  EXPECT_EQ(game.InstalledVersion()["PackageCode"], "0005");
  EXPECT_EQ(game.Read("readme.txt"), "5\n");
  EXPECT_FALSE(game.Has("publisher.pub"));
}

// A verified game reading the demo's servercfg.xml, which was replaced.
class RefusedDocument : public ::testing::Test {
 protected:
  void SetUp() override {
    scenario.PrepareGame("servercfg.xml", /*withClient=*/true);
    game.AddPublisherKey();
    address = game.InstalledVersion()["UpdateServerAddr"];
    ASSERT_EQ(address, scenario.Site().Url("servercfg.xml"));
  }

  // The run fails on the document; the game is at 0001, reading the same
  // address, and each of its fetches was refused by `rule`.
  void ExpectRefused(const std::string& output, const std::string& rule) {
    const LauncherRun run = RunLauncher(scenario, output);
    EXPECT_EQ(run.status, 1) << run.console;
    EXPECT_NE(run.log.find("ERROR farLaunch] server document (" + address + "): " + rule), std::string::npos)
        << run.log;
    const std::map<std::string, std::string> installed = game.InstalledVersion();
    EXPECT_EQ(installed.at("PackageCode"), "0001");
    EXPECT_EQ(installed.at("UpdateServerAddr"), address);
    EXPECT_FALSE(game.Has("readme.txt"));
    EXPECT_FALSE(game.Has("farLaunch.signedtime"));
  }

  Scenario scenario;
  GameDirectory& game = scenario.Game();
  std::string address;
};

// The same publisher's document of another product, which would move the
// game to that product's server for good (UpdateBlockAddr).
TEST_F(RefusedDocument, AnotherProductsDocument) {
  const std::string other = scenario.Site().Url("other");
  ASSERT_TRUE(Shell(scenario, kFarpublish.string() + " build " + (kDemo / "versions").string() + " other --base-url " +
                                  other + " --block-addr " + other + "/servercfg.xml --sign " +
                                  (kDemo / "demo-publisher.key").string() +
                                  " < /dev/null && cp other/servercfg.xml other/servercfg.xml.minisig ."))
      << ReadFile(scenario.Output("shell.txt"));
  ExpectRefused("other.txt", "a document for another address: its signature names " + other + "/servercfg.xml");
}

TEST_F(RefusedDocument, ExpiredDocument) {
  const std::uint64_t now = Now();
  ASSERT_TRUE(Shell(scenario, "minisign -S -s " + (kDemo / "demo-publisher.key").string() +
                                  " -m servercfg.xml -x servercfg.xml.minisig -t $'timestamp:" +
                                  std::to_string(now - 7200) + "\\tfile:servercfg.xml\\turl:" + address +
                                  "\\texpires:" + std::to_string(now - 3600) + "' < /dev/null"))
      << ReadFile(scenario.Output("shell.txt"));
  ExpectRefused("expired.txt", "expired document: it expired on ");
}

// A genuine signature relabelled from prehashed to legacy verifies over the
// document's 64-byte BLAKE2b digest as if that were the document.
TEST_F(RefusedDocument, RelabelledSignature) {
  ASSERT_TRUE(Shell(scenario, R"(python3 - <<'PY'
import base64, hashlib
document = open('servercfg.xml', 'rb').read()
open('servercfg.xml', 'wb').write(hashlib.blake2b(document, digest_size=64).digest())
lines = open('servercfg.xml.minisig').read().split('\n')
signature = bytearray(base64.b64decode(lines[1]))
signature[1] = ord('d')
lines[1] = base64.b64encode(bytes(signature)).decode()
open('servercfg.xml.minisig', 'w').write('\n'.join(lines))
PY)"))
      << ReadFile(scenario.Output("shell.txt"));
  ExpectRefused("relabelled.txt",
                "signature refused: the signature uses minisign's legacy algorithm Ed (minisign -l); only prehashed "
                "ED signatures are accepted");
}

}  // namespace
}  // namespace e2e
