// farLaunch.exe --verify in a game directory: damaged and missing files
// found and named, whatever the record of installed files says.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/installed_launcher.h"
#include "manifest/manifest_text.h"
#include "trust/sha256.h"
#include "update/manifest_reading.h"
#include "update/installed_files.h"

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
    dir.Write(kKeptManifest, ManifestText(manifest));
  }

  GameDirectory dir;

 private:
  void Add(const std::string& name, const std::string& content) {
    Sha256 hash;
    hash.Update(content);
    const std::string sha256 = hash.FinishHex();
    manifest.files.push_back({name, content.size(), sha256, StoredForm::Raw, content.size(), sha256, {}});
    dir.Write(name, content);
  }

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
  EXPECT_NE(bad.output.find("damaged: rh_game.ini (23 bytes where the release has 12 bytes)\n"), std::string::npos)
      << bad.output;
  EXPECT_NE(bad.output.find("release 0003: 4 files verified; 2 damaged, 1 missing, 0 unreadable"), std::string::npos)
      << bad.output;
  // Only what matched stays recorded.
  const std::string record = game.dir.Read(kInstalledFilesRecord);
  EXPECT_NE(record.find("client.exe\t"), std::string::npos) << record;
  EXPECT_EQ(record.find("big.pak"), std::string::npos) << record;
}

TEST(VerifyProgram, WithoutAnInstalledManifestSaysSoAndFails) {
  GameDirectory dir;
  dir.Write("client.exe", "client");
  const Outcome none = RunLauncher("--verify");
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.output.find("no installed release's manifest (farLaunch.manifest)"), std::string::npos) << none.output;

  dir.Write(kKeptManifest, "farLaunch manifest 1\nrelease\t0003\n");
  const Outcome broken = RunLauncher("--verify");
  EXPECT_EQ(broken.status, 1);
  EXPECT_NE(broken.output.find("farLaunch.manifest is no manifest: no objects record"), std::string::npos)
      << broken.output;
}
