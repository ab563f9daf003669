// farLaunch.exe (headless) against a signed site that the real farpublish
// made from three client builds, served on loopback: players at the first
// and at the second release reach the third in one step from the
// manifests, deleted files gone and nothing else touched; a tampered object
// or manifest sends it through the patches; a kill -9 anywhere in the update leaves a
// game the next start finishes; --repair fetches a damaged and a missing
// file again; objects the site lacks come from its mirrors, past those
// that are down, serve a wrong byte or answer 404; changed files come by
// deltas from the releases before the newest when the player's file holds
// a listed source, by objects when not; a manifest format the launcher
// does not know sends it through the patches; a player outside the newest
// release's rollout share stays on the one before until resign widens it.
#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <map>
#include <random>
#include <set>
#include <thread>

#include <unistd.h>

#include "e2e/e2e_harness.h"
#include "support/loopback_socket.h"
#include "support/range_http_server.h"
#include "trust/sha256.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

using Files = std::map<std::string, std::string>;
const std::vector<std::string> kHeadless = {"--headless", "--exit-on-finish"};
const fs::path kInstalled = E2E_INSTALL_DIR;
const fs::path kSource = FARLAUNCH_SOURCE_DIR;
const std::vector<std::string> kCodes = {"0001", "0002", "0003"};
const std::set<std::string> kLauncherFiles = {"farLaunch.exe", "updatecfg.xml", "farLaunch.lock", "farLaunch.log",
                                              "farLaunch.signedtime", "publisher.pub", "farLaunch.manifest",
                                              "farLaunch.files", "farLaunch.bucket"};

std::string Noise(std::mt19937& random, std::size_t size) {
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xff);
  return bytes;
}

std::string Sha256Of(const std::string& bytes) {
  Sha256 hash;
  hash.Update(bytes);
  return hash.FinishHex();
}

// `bytes` with a few small edits, as a new build of a big file has them.
std::string Edited(std::string bytes, std::mt19937& random) {
  for (int i = 0; i < 4; ++i) bytes.replace(random() % (bytes.size() - 100), 100, Noise(random, 100));
  bytes.insert(bytes.size() / 2, Noise(random, 500));
  return bytes;
}

// Each release changes (a.pak and b.pak by small edits), adds and deletes files; the last ships one content
// under two names. cfg.ini never changes (the player edits it) until the last drops it. The second adds files
// under the original launcher's temporary names and ships the publisher's key, which the last drops.
const std::vector<Files>& Releases() {
  static const std::vector<Files> releases = [] {
    std::mt19937 random(28);
    std::vector<Files> made(3);
    made[0] = {{"client.exe", "the client"}, {"cfg.ini", "volume=5\n"}, {"data/a.pak", Noise(random, 300 << 10)},
               {"data/b.pak", Noise(random, 300 << 10)}, {"data/gone1.txt", "gone in 2"},
               {"data/gone2.txt", "gone in 3"}, {"text.txt", std::string(200 << 10, 't')}};
    made[1] = made[0];
    made[1]["data/a.pak"] = Edited(made[0]["data/a.pak"], random);
    made[1]["data/c.pak"] = Noise(random, 100 << 10);
    made[1].erase("data/gone1.txt");
    for (const char* temporary : {"Diff.dat", "Update.zip", "tmp.tmp", "_tmp_up.dat"}) {
      made[1][temporary] = std::string("the game's own ") + temporary;
    }
    made[1]["publisher.pub"] = ReadFile(kSource / "demo/demo-publisher.pub");
    made[2] = made[1];
    made[2]["data/b.pak"] = Edited(made[1]["data/b.pak"], random);
    made[2]["data/new/d.pak"] = Noise(random, 200 << 10);
    made[2]["data/dup1.bin"] = made[2]["data/dup2.bin"] = std::string(90 << 10, 'd');
    made[2]["text.txt"] = std::string(210 << 10, 'u');
    made[2].erase("data/gone2.txt");
    made[2].erase("publisher.pub");
    made[2].erase("cfg.ini");
    return made;
  }();
  return releases;
}

class ManifestUpdate : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path versions = scratch_.Path() / "versions";
    for (std::size_t i = 0; i < Releases().size(); ++i) {
      for (const auto& [name, content] : Releases()[i]) {
        const fs::path file = versions / (kCodes[i] + "-1.0." + std::to_string(i + 1)) / name;
        fs::create_directories(file.parent_path());
        WriteFile(file, content);
      }
    }
    ASSERT_NO_FATAL_FAILURE(BuildTheSite({}));
    ServeTheSite();
  }

  // farpublish build from the versions into the site, with `options` more.
  void BuildTheSite(const std::vector<std::string>& options) {
    const fs::path log = scratch_.Path() / "farpublish.txt";
    std::vector<std::string> command = {(kInstalled / "tools/farpublish").string(),
                                        "build",
                                        (scratch_.Path() / "versions").string(),
                                        site_.string(),
                                        "--base-url",
                                        server_.Url(""),
                                        "--sign",
                                        (kSource / "demo/demo-publisher.key").string()};
    command.insert(command.end(), options.begin(), options.end());
    ASSERT_EQ(RunToEnd({command, scratch_.Path(), {}, log}, kPatience), 0) << ReadFile(log);
  }

  void ServeTheSite() {
    for (const auto& entry : fs::recursive_directory_iterator(site_)) {
      if (entry.is_regular_file()) Serve(fs::relative(entry.path(), site_).generic_string(), ReadFile(entry.path()));
    }
  }

  void Serve(const std::string& name, const std::string& content) { server_.Put("/" + name, content); }

  // A document whose manifests are of a format the launcher does not know.
  void ServeUnknownManifestFormat() {
    std::string document = ReadFile(site_ / "servercfg.xml");
    const std::string known = "Format=\"1\"";
    for (std::size_t at = document.find(known); at != std::string::npos; at = document.find(known, at)) {
      document.replace(at, known.size(), "Format=\"2\"");
    }
    Serve("servercfg.xml", document);
  }

  // A verified game at release `release`, its cfg.ini edited by the player,
  // with a file of the player's own.
  void PrepareGame(std::size_t release, bool verified = true) {
    for (const auto& [name, content] : Releases()[release]) game_.Write(name, content);
    game_.Write("cfg.ini", "volume=9\n");
    game_.Write("mine.txt", "the player's");
    game_.AddLauncher();
    if (verified) game_.AddPublisherKey();
    game_.WriteVersionDocument(server_.Url("/servercfg.xml"), kCodes[release]);
  }

  int Run(const std::string& output) { return RunToEnd(game_.Launcher(kHeadless, Output(output)), kPatience); }
  fs::path Output(const std::string& name) const { return scratch_.Path() / name; }

  // Release `release` as the player has it (an update keeps the edited
  // cfg.ini, listed or not; the key is the launcher's, not the game's).
  static Files AsThePlayerHasIt(std::size_t release) {
    Files files = Releases()[release];
    files.erase("publisher.pub");
    files["cfg.ini"] = "volume=9\n";
    files["mine.txt"] = "the player's";
    return files;
  }

  // The game is `expected`, or the names that differ.
  void ExpectTheGame(const Files& expected) const {
    const Files actual = game_.GameFiles(kLauncherFiles);
    std::string difference;
    for (const auto& [name, content] : expected) {
      const auto found = actual.find(name);
      if (found == actual.end() || found->second != content) difference += " " + name;
    }
    for (const auto& [name, content] : actual) {
      if (expected.count(name) == 0) difference += " +" + name;
    }
    EXPECT_EQ(difference, "");
  }

  std::size_t ObjectRequests(const std::string& content) const {
    const std::string sha256 = Sha256Of(content);
    return server_.Requests("/objects/" + sha256.substr(0, 2) + "/" + sha256).size();
  }
  std::size_t DeltaRequests(const std::string& from, const std::string& to) const {
    return server_.Requests("/deltas/" + Sha256Of(from) + "-" + Sha256Of(to)).size();
  }

  // Requests for the site's files below `folder` ("" for all), or for its
  // patches only.
  std::size_t SiteRequests(const std::string& folder, bool patchesOnly = false) const {
    std::size_t requests = 0;
    if (!fs::exists(site_ / folder)) return 0;
    for (const auto& entry : fs::recursive_directory_iterator(site_ / folder)) {
      if (!patchesOnly || entry.path().extension() == ".zip") {
        requests += server_.Requests("/" + fs::relative(entry.path(), site_).generic_string()).size();
      }
    }
    return requests;
  }
  std::size_t PatchRequests() const { return SiteRequests("", true); }

  Scratch scratch_;
  RangeHttpServer server_;
  fs::path site_ = scratch_.Path() / "site";
  GameDirectory game_{scratch_.Path() / "game"};
};

TEST_F(ManifestUpdate, PlayersAtTheFirstAndTheSecondReleaseReachTheThirdInOneStep) {
  for (const std::size_t release : {0u, 1u}) {
    SCOPED_TRACE("from release " + kCodes[release]);
    fs::remove_all(game_.Path());
    PrepareGame(release);
    ASSERT_EQ(Run("update.txt"), 0) << ReadFile(Output("update.txt"));
    EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0003");
    ExpectTheGame(AsThePlayerHasIt(2));
    EXPECT_FALSE(fs::exists(game_.Path() / "farLaunch.stage"));
    EXPECT_NE(game_.Read("farLaunch.manifest").find("release\t0003\n"), std::string::npos);
    EXPECT_EQ(PatchRequests(), 0u);
    // The key the second release shipped and the last dropped stays, and so
    // does the player's cfg.ini; the log names both.
    EXPECT_EQ(game_.Read("publisher.pub"), ReadFile(kSource / "demo/demo-publisher.pub"));
    if (release == 1) {
      const std::string log = game_.Read("farLaunch.log");
      EXPECT_NE(log.find("publisher.pub: kept: the launcher's trust rests on it"), std::string::npos) << log;
      EXPECT_NE(log.find("cfg.ini: kept: the player's file"), std::string::npos) << log;
    }
    // What the update wrote is recorded; --verify finds every file as listed.
    EXPECT_NE(game_.Read("farLaunch.files").find("data/new/d.pak\t" + std::to_string(200 << 10) + "\t"),
              std::string::npos);
    EXPECT_EQ(RunToEnd(game_.Launcher({"--verify"}, Output("verify.txt")), kPatience), 0)
        << ReadFile(Output("verify.txt"));
  }
}

TEST_F(ManifestUpdate, ChangedFilesComeByDeltasWhereThePlayersFileIsASource) {
  const Files& first = Releases()[0];
  const Files& second = Releases()[1];
  const Files& newest = Releases()[2];
  // At 0001 and 0002 (both within the last 3 releases): deltas, no objects
  // for the edited files. b.pak is the same in both, so its delta is one.
  for (const std::size_t release : {0u, 1u}) {
    fs::remove_all(game_.Path());
    PrepareGame(release);
    ASSERT_EQ(Run("update.txt"), 0) << ReadFile(Output("update.txt"));
    ExpectTheGame(AsThePlayerHasIt(2));
  }
  EXPECT_EQ(DeltaRequests(first.at("data/a.pak"), newest.at("data/a.pak")), 1u);
  EXPECT_EQ(DeltaRequests(second.at("data/b.pak"), newest.at("data/b.pak")), 2u);
  EXPECT_EQ(ObjectRequests(newest.at("data/a.pak")) + ObjectRequests(newest.at("data/b.pak")), 0u);

  // A file the player changed by hand matches no delta: its object comes.
  // So does a file whose delta arrives damaged (logged).
  const std::string delta = "deltas/" + Sha256Of(first.at("data/a.pak")) + "-" + Sha256Of(newest.at("data/a.pak"));
  std::string damaged = ReadFile(site_ / delta);
  damaged[damaged.size() / 2] ^= 1;
  Serve(delta, damaged);
  fs::remove_all(game_.Path());
  PrepareGame(0);
  game_.Write("data/b.pak", "changed by hand");
  ASSERT_EQ(Run("by-hand.txt"), 0) << ReadFile(Output("by-hand.txt"));
  ExpectTheGame(AsThePlayerHasIt(2));
  EXPECT_EQ(ObjectRequests(newest.at("data/b.pak")), 1u);
  EXPECT_EQ(DeltaRequests(second.at("data/b.pak"), newest.at("data/b.pak")), 2u);
  EXPECT_EQ(ObjectRequests(newest.at("data/a.pak")), 1u);
  EXPECT_NE(game_.Read("farLaunch.log").find("the delta failed (SHA-256 mismatch"), std::string::npos)
      << game_.Read("farLaunch.log");

  // With deltas from the last release only, a player at 0001 gets a.pak
  // (changed in 0002) whole.
  ASSERT_NO_FATAL_FAILURE(BuildTheSite({"--deltas", "1"}));
  ServeTheSite();
  fs::remove_all(game_.Path());
  PrepareGame(0);
  ASSERT_EQ(Run("older.txt"), 0) << ReadFile(Output("older.txt"));
  ExpectTheGame(AsThePlayerHasIt(2));
  EXPECT_EQ(ObjectRequests(newest.at("data/a.pak")), 2u);
  EXPECT_EQ(DeltaRequests(second.at("data/b.pak"), newest.at("data/b.pak")), 3u) << "0001's b.pak is 0002's";
}

// What stops the manifests (a damaged object or manifest) leaves the
// patches as the way out; with them damaged too, nothing is installed.
// A full install keeps the newest release's manifest and records its files,
// so --verify and --repair work; a game without a manifest (copied from a
// build) is repaired against the newest release's.
TEST_F(ManifestUpdate, AFullInstallKeepsItsManifestAndAGameWithoutOneIsVerifiedAndRepairedFromTheSite) {
  game_.AddLauncher();
  game_.AddPublisherKey();
  game_.WriteVersionDocument(server_.Url("/servercfg.xml"), kCodes[0]);
  ASSERT_EQ(Run("full.txt"), 0) << ReadFile(Output("full.txt"));
  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0003");
  EXPECT_NE(game_.Read("farLaunch.manifest").find("release\t0003\n"), std::string::npos);
  EXPECT_NE(game_.Read("farLaunch.files").find("data/new/d.pak\t"), std::string::npos);
  EXPECT_EQ(RunToEnd(game_.Launcher({"--verify"}, Output("verify.txt")), kPatience), 0) << ReadFile(Output("verify.txt"));

  fs::remove(game_.Path() / "farLaunch.manifest");
  fs::remove(game_.Path() / "farLaunch.files");
  std::string flipped = Releases()[2].at("data/a.pak");
  flipped[1000] ^= 1;
  game_.Write("data/a.pak", flipped);
  fs::remove(game_.Path() / "text.txt");
  EXPECT_EQ(RunToEnd(game_.Launcher({"--verify"}, Output("fetched.txt")), kPatience), 1);
  const std::string fetched = ReadFile(Output("fetched.txt"));
  for (const char* line : {"the installed release's manifest is fetched from the site", "damaged: data/a.pak",
                           "missing: text.txt", "release 0003: "}) {
    EXPECT_NE(fetched.find(line), std::string::npos) << line << "\n" << fetched;
  }
  EXPECT_NE(game_.Read("farLaunch.manifest").find("release\t0003\n"), std::string::npos);

  fs::remove(game_.Path() / "farLaunch.manifest");
  ASSERT_EQ(RunToEnd(game_.Launcher({"--repair"}, Output("repair.txt")), kPatience), 0) << ReadFile(Output("repair.txt"));
  EXPECT_NE(ReadFile(Output("repair.txt")).find("every file is compared with the newest release's manifest"),
            std::string::npos);
  EXPECT_EQ(game_.Read("data/a.pak"), Releases()[2].at("data/a.pak"));
  EXPECT_EQ(game_.Read("text.txt"), Releases()[2].at("text.txt"));
  EXPECT_TRUE(game_.Has("farLaunch.manifest"));

  // A release the document no longer lists has no manifest to fetch.
  fs::remove(game_.Path() / "farLaunch.manifest");
  game_.WriteVersionDocument(server_.Url("/servercfg.xml"), "0999");
  EXPECT_EQ(RunToEnd(game_.Launcher({"--verify"}, Output("unlisted.txt")), kPatience), 1);
  EXPECT_NE(game_.Read("farLaunch.log").find("the manifest of the installed version 0999"), std::string::npos);
  EXPECT_FALSE(game_.Has("farLaunch.manifest"));
}

// Players move big folders to another disk and leave a link: the update
// writes and deletes through it, and the links stay.
TEST_F(ManifestUpdate, FoldersAndFilesLinkedToAnotherDiskAreUpdatedThroughTheirLinks) {
  const fs::path otherDisk = "/dev/shm";
  if (!fs::is_directory(otherDisk)) GTEST_SKIP() << "no second file system (/dev/shm) here";
  struct RemovedAtTheEnd {
    fs::path path;
    ~RemovedAtTheEnd() {
      std::error_code ignored;
      fs::remove_all(path, ignored);
    }
  } elsewhere{otherDisk / ("farlaunch-linked-" + std::to_string(getpid()))};
  PrepareGame(0);
  fs::create_directories(elsewhere.path);
  fs::copy(game_.Path() / "data", elsewhere.path / "data", fs::copy_options::recursive);
  fs::remove_all(game_.Path() / "data");
  fs::create_directory_symlink(elsewhere.path / "data", game_.Path() / "data");
  fs::rename(game_.Path() / "text.txt", scratch_.Path() / "text.txt");
  fs::create_symlink(scratch_.Path() / "text.txt", game_.Path() / "text.txt");

  ASSERT_EQ(Run("linked.txt"), 0) << ReadFile(Output("linked.txt"));
  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0003");
  EXPECT_TRUE(fs::is_symlink(game_.Path() / "data"));
  EXPECT_TRUE(fs::is_symlink(game_.Path() / "text.txt"));
  for (const auto& [name, content] : AsThePlayerHasIt(2)) EXPECT_EQ(game_.Read(name), content) << name;
  EXPECT_EQ(ReadFile(scratch_.Path() / "text.txt"), Releases()[2].at("text.txt"));
  EXPECT_FALSE(fs::exists(elsewhere.path / "data/gone1.txt"));
  EXPECT_FALSE(fs::exists(elsewhere.path / "data/gone2.txt"));
}

// A release that turns a file into a folder and a folder into a file
// installs: the deletions make room first.
TEST_F(ManifestUpdate, AFileBecomesAFolderAndAFolderAFile) {
  const std::vector<Files> releases = {
      {{"client.exe", "the client"}, {"data/maps", "the maps file"}, {"data/icons/a.ico", "an icon"}},
      {{"client.exe", "the client"}, {"data/maps/x.map", "a map"}, {"data/icons", "the icons file"}}};
  fs::remove_all(scratch_.Path() / "versions");
  fs::remove_all(site_);
  for (std::size_t i = 0; i < releases.size(); ++i) {
    for (const auto& [name, content] : releases[i]) {
      const fs::path file = scratch_.Path() / "versions" / (kCodes[i] + "-1.0." + std::to_string(i + 1)) / name;
      fs::create_directories(file.parent_path());
      WriteFile(file, content);
    }
  }
  ASSERT_NO_FATAL_FAILURE(BuildTheSite({}));
  ServeTheSite();
  for (const auto& [name, content] : releases[0]) game_.Write(name, content);
  game_.AddLauncher();
  game_.AddPublisherKey();
  game_.WriteVersionDocument(server_.Url("/servercfg.xml"), kCodes[0]);
  ASSERT_EQ(Run("update.txt"), 0) << ReadFile(Output("update.txt"));
  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], kCodes[1]);
  ExpectTheGame(releases[1]);
  EXPECT_EQ(PatchRequests(), 0u);
}

TEST_F(ManifestUpdate, ATamperedObjectOrManifestTakesThePatchesAndWithoutThemInstallsNothing) {
  const std::string changed = Releases()[2].at("data/new/d.pak");
  std::mt19937 random(1);
  for (const bool object : {true, false}) {
    for (const bool patchesToo : {false, true}) {
      SCOPED_TRACE(std::string(object ? "object" : "manifests") + (patchesToo ? ", patches too" : ""));
      ServeTheSite();
      fs::remove_all(game_.Path());
      PrepareGame(0);
      if (object) {
        const std::string sha256 = Sha256Of(changed);
        Serve("objects/" + sha256.substr(0, 2) + "/" + sha256, Noise(random, changed.size()));
      } else {
        for (const auto& entry : fs::directory_iterator(site_ / "manifests")) {
          std::string bytes = ReadFile(entry.path());
          bytes[bytes.size() / 2] ^= 1;
          Serve("manifests/" + entry.path().filename().string(), bytes);
        }
      }
      if (patchesToo) {
        for (const auto& entry : fs::recursive_directory_iterator(site_)) {
          if (entry.path().extension() != ".zip") continue;
          std::string bytes = ReadFile(entry.path());
          bytes[bytes.size() / 2] ^= 1;
          Serve(fs::relative(entry.path(), site_).generic_string(), bytes);
        }
      }
      const int status = Run("tampered.txt");
      EXPECT_NE(game_.Read("farLaunch.log").find("the patches are taken instead"), std::string::npos)
          << game_.Read("farLaunch.log");
      EXPECT_FALSE(game_.Has("farLaunch.manifest"));
      if (patchesToo) {
        EXPECT_NE(status, 0) << ReadFile(Output("tampered.txt"));
        EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0001");
        ExpectTheGame(AsThePlayerHasIt(0));
      } else {
        EXPECT_EQ(status, 0) << ReadFile(Output("tampered.txt"));
        EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0003");
        EXPECT_GT(PatchRequests(), 0u);
        for (const auto& [name, content] : AsThePlayerHasIt(2)) EXPECT_EQ(game_.Read(name), content) << name;
      }
    }
  }
}

TEST_F(ManifestUpdate, AKillAnywhereLeavesAGameTheNextStartFinishes) {
  PrepareGame(0);
  const fs::path saved = scratch_.Path() / "saved";
  fs::copy(game_.Path(), saved, fs::copy_options::recursive);
  // What a killed run staged is taken when it holds its content, fetched
  // again when it does not.
  const std::string staged = Sha256Of(Releases()[2].at("data/b.pak"));
  const std::string damaged = Sha256Of(Releases()[2].at("data/new/d.pak"));
  game_.Write("farLaunch.stage/" + staged, Releases()[2].at("data/b.pak"));
  game_.Write("farLaunch.stage/" + damaged, "not its content");
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(Run("healthy.txt"), 0) << ReadFile(Output("healthy.txt"));
  const auto length = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  EXPECT_TRUE(server_.Requests("/objects/" + staged.substr(0, 2) + "/" + staged).empty());
  EXPECT_EQ(server_.Requests("/objects/" + damaged.substr(0, 2) + "/" + damaged).size(), 1u);
  ExpectTheGame(AsThePlayerHasIt(2));
  std::mt19937 random(3);
  for (int trial = 0; trial < 4; ++trial) {
    fs::remove_all(game_.Path());
    fs::copy(saved, game_.Path(), fs::copy_options::recursive);
    const auto moment = std::chrono::milliseconds(random() % static_cast<std::uint32_t>(length.count() + 1));
    SCOPED_TRACE("kill -9 after " + std::to_string(moment.count()) + " ms");
    {
      ChildProcess launcher(game_.Launcher(kHeadless, Output("killed.txt")));
      std::this_thread::sleep_for(moment);
      launcher.Signal(SIGKILL);
      ASSERT_TRUE(launcher.WaitForExit(kPatience));
    }
    ASSERT_EQ(Run("finished.txt"), 0) << ReadFile(Output("finished.txt"));
    EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0003");
    ExpectTheGame(AsThePlayerHasIt(2));
    EXPECT_FALSE(fs::exists(game_.Path() / "farLaunch.stage"));
  }
  // Killed once a manifest arrived: the next start reads it from the stage.
  fs::remove_all(game_.Path());
  fs::copy(saved, game_.Path(), fs::copy_options::recursive);
  std::set<std::string> arrived;
  {
    ChildProcess launcher(game_.Launcher(kHeadless, Output("manifest.txt")));
    const auto end = std::chrono::steady_clock::now() + kPatience;
    while (arrived.empty() && std::chrono::steady_clock::now() < end) {
      std::error_code error;
      for (fs::directory_iterator it(game_.Path() / "farLaunch.stage", error), last; !error && it != last;
           it.increment(error)) {
        if (it->path().extension() == ".manifest") arrived.insert("/manifests/" + it->path().stem().string());
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    launcher.Signal(SIGKILL);
    ASSERT_TRUE(launcher.WaitForExit(kPatience));
  }
  ASSERT_FALSE(arrived.empty()) << ReadFile(Output("manifest.txt"));
  std::map<std::string, std::size_t> asked;
  for (const std::string& manifest : arrived) asked[manifest] = server_.Requests(manifest).size();
  ASSERT_EQ(Run("after-manifest.txt"), 0) << ReadFile(Output("after-manifest.txt"));
  for (const std::string& manifest : arrived) {
    EXPECT_GT(asked[manifest], 0u) << manifest;
    EXPECT_EQ(server_.Requests(manifest).size(), asked[manifest]) << manifest;
  }
  ExpectTheGame(AsThePlayerHasIt(2));
}

TEST_F(ManifestUpdate, RepairFetchesADamagedAndAMissingFileAgain) {
  PrepareGame(1);
  ASSERT_EQ(Run("update.txt"), 0) << ReadFile(Output("update.txt"));
  std::string flipped = Releases()[2].at("data/a.pak");
  flipped[1000] ^= 1;
  game_.Write("data/a.pak", flipped);
  fs::remove(game_.Path() / "data/new/d.pak");
  ASSERT_EQ(RunToEnd(game_.Launcher({"--repair"}, Output("repair.txt")), kPatience), 0)
      << ReadFile(Output("repair.txt"));
  const std::string repaired = ReadFile(Output("repair.txt"));
  EXPECT_NE(repaired.find("missing: data/new/d.pak\n"), std::string::npos) << repaired;
  ExpectTheGame(AsThePlayerHasIt(2));
  EXPECT_EQ(RunToEnd(game_.Launcher({"--verify"}, Output("verify.txt")), kPatience), 0) << ReadFile(Output("verify.txt"));

  // Without a manifest for the newest release there is nothing to repair from.
  ServeUnknownManifestFormat();
  fs::remove(game_.Path() / "publisher.pub");
  fs::remove(game_.Path() / "data/a.pak");
  EXPECT_EQ(RunToEnd(game_.Launcher({"--repair"}, Output("no-manifest.txt")), kPatience), 1);
  EXPECT_NE(ReadFile(Output("no-manifest.txt")).find("a repair needs one"), std::string::npos)
      << ReadFile(Output("no-manifest.txt"));
  EXPECT_NE(game_.Read("farLaunch.log").find("a repair needs one"), std::string::npos);
}

TEST_F(ManifestUpdate, ObjectsTheSiteLacksComeFromAGoodMirror) {
  RangeHttpServer wrongByte;
  RangeHttpServer notFound;
  RangeHttpServer good;
  int closedPort = 0;
  const int closedFd = BindLoopbackSocket(-1, closedPort);
  const std::string closed = "http://127.0.0.1:" + std::to_string(closedPort) + "/";
  std::vector<std::string> objects;
  for (const auto& entry : fs::recursive_directory_iterator(site_ / "objects")) {
    if (!entry.is_regular_file()) continue;
    const std::string path = "/" + fs::relative(entry.path(), site_).generic_string();
    std::string bytes = ReadFile(entry.path());
    good.Put(path, bytes);
    bytes[bytes.size() / 2] ^= 1;
    wrongByte.Put(path, bytes);
    objects.push_back(path);
  }
  const std::string sources[] = {"the site " + server_.Url("/"), "mirror " + closed, "mirror " + wrongByte.Url("/"),
                                 "mirror " + notFound.Url("/")};
  for (const bool goodMirror : {true, false}) {
    SCOPED_TRACE(goodMirror ? "a good mirror last" : "no good mirror");
    std::vector<std::string> mirrors = {"--mirror", closed, "--mirror", wrongByte.Url("/"), "--mirror",
                                        notFound.Url("")};
    if (goodMirror) mirrors.insert(mirrors.end(), {"--mirror", good.Url("")});
    ASSERT_NO_FATAL_FAILURE(BuildTheSite(mirrors));
    ServeTheSite();
    RangeHttpServer::Answer gone;
    gone.status = 404;
    for (const std::string& object : objects) server_.Queue(object, gone);
    fs::remove_all(game_.Path());
    PrepareGame(0);
    const int status = Run("mirrors.txt");
    const std::string log = game_.Read("farLaunch.log");
    if (goodMirror) {
      ASSERT_EQ(status, 0) << ReadFile(Output("mirrors.txt"));
      EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0003");
      ExpectTheGame(AsThePlayerHasIt(2));
      EXPECT_EQ(PatchRequests(), 0u);
    } else {
      // No source serves the objects: the patches install the release.
      EXPECT_EQ(status, 0) << ReadFile(Output("mirrors.txt"));
      EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0003");
      EXPECT_NE(log.find("the patches are taken instead"), std::string::npos) << log;
      EXPECT_GT(PatchRequests(), 0u);
      EXPECT_FALSE(game_.Has("farLaunch.manifest"));
    }
    for (const std::string& source : sources) EXPECT_NE(log.find(source + " ("), std::string::npos) << source << log;
    EXPECT_NE(log.find("mirror " + wrongByte.Url("/") + ": served a wrong file"), std::string::npos) << log;
  }
  close(closedFd);
}

TEST_F(ManifestUpdate, AManifestFormatTheLauncherDoesNotKnowTakesThePatches) {
  ServeUnknownManifestFormat();
  // The document changed, so its signature no longer holds: a game without
  // the key takes it.
  PrepareGame(0, /*verified=*/false);
  ASSERT_EQ(Run("legacy.txt"), 0) << ReadFile(Output("legacy.txt"));
  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0003");
  EXPECT_GT(PatchRequests(), 0u);
  EXPECT_FALSE(game_.Has("farLaunch.manifest"));
  for (const auto& [name, content] : AsThePlayerHasIt(2)) EXPECT_EQ(game_.Read(name), content) << name;
}

// The third release offered to 30 % of the players first: a player whose
// bucket is 30 updates to the second and stays there, until resign widens
// the share to everyone; the next start then takes the third.
TEST_F(ManifestUpdate, APlayerOutsideTheRolloutShareWaitsUntilResignWidensIt) {
  ASSERT_NO_FATAL_FAILURE(BuildTheSite({"--rollout", "30"}));
  const std::time_t signedBy = std::time(nullptr);
  ServeTheSite();
  PrepareGame(0);
  game_.Write("farLaunch.bucket", "30");
  ASSERT_EQ(Run("held-back.txt"), 0) << ReadFile(Output("held-back.txt"));
  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0002");
  ExpectTheGame(AsThePlayerHasIt(1));
  EXPECT_NE(game_.Read("farLaunch.log").find("version 0003 (" + server_.Url("/servercfg.xml") +
                                             "): held back: offered to 30 % of the players first"),
            std::string::npos)
      << game_.Read("farLaunch.log");
  ASSERT_EQ(Run("still-held-back.txt"), 0) << ReadFile(Output("still-held-back.txt"));
  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0002");

  // A document signed in the second of the accepted one, with other bytes,
  // is refused as a replay: the new signature comes a second later.
  while (std::time(nullptr) <= signedBy) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const fs::path log = scratch_.Path() / "resign.txt";
  ASSERT_EQ(RunToEnd({{(kInstalled / "tools/farpublish").string(), "resign", site_.string(), "--key",
                       (kSource / "demo/demo-publisher.key").string(), "--rollout", "100"},
                      scratch_.Path(), {}, log},
                     kPatience),
            0)
      << ReadFile(log);
  ServeTheSite();
  ASSERT_EQ(Run("widened.txt"), 0) << ReadFile(Output("widened.txt"));
  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0003");
  ExpectTheGame(AsThePlayerHasIt(2));
  EXPECT_EQ(game_.Read("farLaunch.bucket"), "30");
}

}  // namespace
}  // namespace e2e
