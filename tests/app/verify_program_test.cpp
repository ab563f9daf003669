// farLaunch.exe --verify in a game directory: damaged and missing files
// found and named, whatever the record of installed files says; and
// --uninstall, which takes out only what the release installed unchanged.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "app/installed_launcher.h"
#include "manifest/manifest_text.h"
#include "support/temp_dir.h"
#include "trust/sha256.h"
#include "update/gamedir/installed_files.h"
#include "update/site/manifest_reading.h"

namespace {

namespace fs = std::filesystem;

// A game directory at release 0003 whose manifest lists what it holds.
class InstalledRelease {
 public:
  InstalledRelease() {
    Add("client.exe", "client");
    Add("data/big.pak", std::string(3 << 20, 'p'));
    Add("data/地图.dat", "map");
    Add("rh_game.ini", "[farLaunch]\n");
    Keep();
  }

  GameDirectory dir;

  // Writes the manifest that lists what was added, in byte order.
  void Keep() {
    std::sort(manifest.files.begin(), manifest.files.end(),
              [](const ManifestFile& a, const ManifestFile& b) { return a.name < b.name; });
    dir.Write(kKeptManifest, ManifestText(manifest));
  }

  void Add(const std::string& name, const std::string& content) {
    Sha256 hash;
    hash.Update(content);
    const std::string sha256 = hash.FinishHex();
    manifest.files.push_back({name, content.size(), sha256, StoredForm::Raw, content.size(), sha256, {}});
    dir.Write(name, content);
  }

 private:
  ReleaseManifest manifest{"0003", "http://127.0.0.1/objects/", {}, ""};
};

}  // namespace

TEST(VerifyProgram, AllGoodThenAFlippedByteAndAMissingFile) {
  InstalledRelease game;
  const Outcome good = RunLauncher("--verify", kWithTheDisplay);
  EXPECT_EQ(good.status, 0) << good.output;
  EXPECT_NE(good.output.find("release 0003: 4 files verified, all match"), std::string::npos) << good.output;
  EXPECT_NE(game.dir.Read(kInstalledFilesRecord).find("data/地图.dat\t3\t"), std::string::npos);

  // The flipped byte keeps the size and the recorded time: only hashing finds it.
  const fs::path pak = game.dir.Path() / "data/big.pak";
  const fs::file_time_type recorded = fs::last_write_time(pak);
  std::string content = game.dir.Read("data/big.pak");
  content[1 << 20] ^= 0x01;
  game.dir.Write("data/big.pak", content);
  fs::last_write_time(pak, recorded);
  fs::remove(game.dir.Path() / "data/地图.dat");
  game.dir.Write("rh_game.ini", "[farLaunch]\nAraeName=x\n");

  const Outcome bad = RunLauncher("--verify", kWithTheDisplay);
  EXPECT_EQ(bad.status, 1) << bad.output;
  EXPECT_NE(bad.output.find("damaged: data/big.pak (its content differs from the release's)\n"), std::string::npos)
      << bad.output;
  EXPECT_NE(bad.output.find("missing: data/地图.dat\n"), std::string::npos) << bad.output;
  // The launcher and the player write rh_game.ini: changed, not damaged.
  EXPECT_NE(bad.output.find("changed: rh_game.ini (the player's settings: updates and repairs keep them)\n"),
            std::string::npos)
      << bad.output;
  EXPECT_NE(bad.output.find("release 0003: 4 files verified; 1 damaged, 1 missing, 0 unreadable, 1 changed by the "
                            "player"),
            std::string::npos)
      << bad.output;
  // Only what matched stays recorded.
  const std::string record = game.dir.Read(kInstalledFilesRecord);
  EXPECT_NE(record.find("client.exe\t"), std::string::npos) << record;
  EXPECT_EQ(record.find("big.pak"), std::string::npos) << record;
}

// A run killed while it placed a release's files left its journal: the
// check puts the game back first, as a start does, and then finds it whole.
TEST(VerifyProgram, AKilledRunsEntryIsPutBackBeforeTheCheck) {
  InstalledRelease game;
  const std::string original = game.dir.Read("data/big.pak");
  fs::rename(game.dir.Path() / "data/big.pak", game.dir.Path() / "tmpFile0");
  game.dir.Write("data/big.pak", "half of the next release's");
  game.dir.Write("data/added.pak", "the next release's");
  game.dir.Write("farLaunch.journal",
                 "farLaunch journal 1\ncode 0004\nmove data/big.pak tmpFile0 old\nmove data/added.pak tmpFile1 new\n");
  game.dir.Write("updatecfg.xml.123-4.saving", "a kill left this");

  const Outcome checked = RunLauncher("--verify");
  EXPECT_EQ(checked.status, 0) << checked.output;
  EXPECT_NE(checked.output.find("4 files verified, all match"), std::string::npos) << checked.output;
  EXPECT_EQ(game.dir.Read("data/big.pak"), original);
  for (const char* leftover : {"farLaunch.journal", "tmpFile0", "data/added.pak", "updatecfg.xml.123-4.saving"}) {
    EXPECT_FALSE(game.dir.Has(leftover)) << leftover;
  }
  EXPECT_NE(game.dir.Read("farLaunch.log").find("the update to 0004 was interrupted"), std::string::npos);
}

// Without a manifest of its own the game's is fetched, from the site its
// record names: without a record there is none to ask, said and logged.
TEST(VerifyProgram, WithoutAnInstalledManifestOrARecordSaysSoAndFails) {
  GameDirectory dir;
  dir.Write("client.exe", "client");
  const Outcome none = RunLauncher("--verify");
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.output.find("no installed release's manifest (farLaunch.manifest): the installed release's "
                             "manifest is fetched from the site"),
            std::string::npos)
      << none.output;
  EXPECT_NE(dir.Read("farLaunch.log").find("updatecfg.xml"), std::string::npos) << dir.Read("farLaunch.log");
  EXPECT_FALSE(dir.Has(kKeptManifest));

  dir.Write(kKeptManifest, "farLaunch manifest 1\nrelease\t0003\n");
  const Outcome broken = RunLauncher("--verify");
  EXPECT_EQ(broken.status, 1);
  EXPECT_NE(broken.output.find("farLaunch.manifest is no manifest: no objects record"), std::string::npos)
      << broken.output;
}

// The release's unchanged files and the launcher's own go, emptied folders
// with them; the player's, the changed, the settings and whatever is
// reached through a link stay, each named with the reason.
TEST(UninstallProgram, TakesOutTheReleaseAndTheLauncherAndKeepsThePlayers) {
  InstalledRelease game;
  game.Add("movies/intro/intro.bik", "intro");
  game.Add("farLaunch.exe", "the program");
  // A folder of the release that a link now replaces: removing through it
  // would delete a file outside the game directory.
  game.Add("shared/voices.pak", "voices");
  TempDir outside;
  fs::rename(game.dir.Path() / "shared", outside.Path() / "shared");
  fs::create_directory_symlink(outside.Path() / "shared", game.dir.Path() / "shared");
  game.Keep();
  const Outcome verified = RunLauncher("--verify");
  ASSERT_EQ(verified.status, 0) << verified.output;  // the record of installed files now vouches

  game.dir.Write("data/地图.dat", "the player's own map");
  game.dir.Write("data/mods/mine.pak", "a mod");
  game.dir.Write("cfg.ini", "volume=3\n");
  for (const char* launchers : {"updatecfg.xml", "publisher.pub", "farLaunch.signedtime", "farLaunch.bucket",
                                "farLaunch.stage/0a1b", "farLaunch.download.3", "tmpFile2", "farLaunch.log.1"}) {
    game.dir.Write(launchers, "the launcher's");
  }

  const Outcome uninstalled = RunLauncher("--uninstall");
  EXPECT_EQ(uninstalled.status, 0) << uninstalled.output;
  EXPECT_EQ(game.dir.Files(), (std::set<std::string>{"cfg.ini", "data/mods/mine.pak", "data/地图.dat", "farLaunch.exe",
                                                     "farLaunch.lock", "farLaunch.log", "farLaunch.log.1",
                                                     "rh_game.ini"}))
      << uninstalled.output;
  for (const char* folder : {"movies", "farLaunch.stage"}) EXPECT_FALSE(fs::exists(game.dir.Path() / folder)) << folder;
  EXPECT_TRUE(fs::is_symlink(game.dir.Path() / "shared"));
  EXPECT_EQ(game.dir.Read("data/地图.dat"), "the player's own map");
  EXPECT_TRUE(fs::exists(outside.Path() / "shared/voices.pak"));
  for (const char* kept : {"kept: data/地图.dat (changed since it was installed: the player's)",
                           "kept: rh_game.ini (the player's settings)",
                           "kept: shared/voices.pak (reached through a link the player made, which is never followed)",
                           "kept: farLaunch.exe (the running program: removed after it ends, by the uninstaller or "
                           "by hand)"}) {
    EXPECT_NE(uninstalled.output.find(kept), std::string::npos) << kept << "\n" << uninstalled.output;
  }
  EXPECT_NE(game.dir.Read("farLaunch.log").find("rh_game.ini: kept: the player's settings"), std::string::npos);
}

TEST(UninstallProgram, WithoutAnInstalledManifestTheGameFilesStay) {
  GameDirectory dir;
  dir.Write("client.exe", "client");
  dir.Write("updatecfg.xml", "the launcher's");
  const Outcome uninstalled = RunLauncher("--uninstall");
  EXPECT_EQ(uninstalled.status, 0) << uninstalled.output;
  EXPECT_TRUE(dir.Has("client.exe"));
  EXPECT_FALSE(dir.Has("updatecfg.xml"));
  EXPECT_NE(uninstalled.output.find("the game keeps no installed release's manifest: its files stay"),
            std::string::npos)
      << uninstalled.output;
  EXPECT_NE(dir.Read("farLaunch.log").find("its files stay"), std::string::npos);
}
