// The plan of an update straight to the newest release: what it fetches
// and deletes, from the two manifests and the files on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <set>

#include "base/init/ox_base.h"
#include "support/game_directory.h"
#include "trust/sha256.h"
#include "update/gamedir/installed_files.h"
#include "update/manifest/manifest_plan.h"

namespace {

ManifestFile Line(const std::string& name, const std::string& content) {
  Sha256 hash;
  hash.Update(content);
  const std::string sha256 = hash.FinishHex();
  return {name, content.size(), sha256, StoredForm::Raw, content.size(), sha256, {}};
}

ReleaseManifest Release(const std::string& code, std::vector<ManifestFile> files) {
  std::sort(files.begin(), files.end(), [](const ManifestFile& a, const ManifestFile& b) { return a.name < b.name; });
  return {code, "http://127.0.0.1/objects/", files, ""};
}

class ManifestPlanTest : public ::testing::Test {
 protected:
  ManifestPlanTest() { EXPECT_TRUE(ox_base::oxBaseInit("+[base]\nName = \"plan\"\n[base.engine]\n", nullptr, 0)); }
  ~ManifestPlanTest() override { ox_base::oxBaseExit(); }

  std::vector<std::string> Fetched(const ReleaseManifest* installed, const ReleaseManifest& newest, bool verified,
                                   const std::set<std::string>& repair = {}) {
    std::string problem;
    EXPECT_TRUE(PlanManifestUpdate(installed, newest, verified, repair, plan, problem)) << problem;
    std::vector<std::string> names;
    for (const PlannedFile& file : plan.fetch) names.push_back(file.local);
    return names;
  }

  GameDirectory dir;
  ManifestPlan plan;
};

TEST_F(ManifestPlanTest, FetchesChangedAddedAndMissingFilesDeletesDroppedOnesAndKeepsThePlayersEdits) {
  const ReleaseManifest installed = Release("0001", {Line("cfg.ini", "cfg 1"), Line("data/changed.pak", "old"),
                                                     Line("data/same.pak", "same"), Line("dropped.txt", "gone"),
                                                     Line("data/lost.pak", "lost"), Line("Readme.TXT", "readme")});
  const ReleaseManifest newest =
      Release("0003", {Line("cfg.ini", "cfg 1"), Line("data/changed.pak", "new!"), Line("data/same.pak", "same"),
                       Line("data/added.pak", "added"), Line("data/lost.pak", "lost"), Line("data/dup.pak", "added"),
                       Line("readme.txt", "readme")});
  dir.Write("cfg.ini", "the player's own settings");
  dir.Write("data/changed.pak", "old");
  dir.Write("data/same.pak", "same");
  dir.Write("dropped.txt", "gone");
  dir.Write("Readme.TXT", "readme");
  dir.Write("mine.txt", "a player's own file");

  EXPECT_EQ(Fetched(&installed, newest, true),
            (std::vector<std::string>{"data/added.pak", "data/changed.pak", "data/dup.pak", "data/lost.pak"}));
  EXPECT_EQ(plan.remove, std::vector<std::string>{"dropped.txt"});
  // One object for the two files of the same content.
  EXPECT_EQ(plan.bytesToFetch, std::string("new!").size() + std::string("added").size() + std::string("lost").size());
}

TEST_F(ManifestPlanTest, ARepairFetchesTheDamagedFilesTheManifestsCallUnchanged) {
  const ReleaseManifest release = Release("0003", {Line("cfg.ini", "cfg"), Line("Data/flip.pak", "abcd"),
                                                   Line("data/fine.pak", "fine"), Line("farLaunch.exe", "x")});
  for (const ManifestFile& file : release.files) dir.Write(file.name, file.name == "Data/flip.pak" ? "abce" : "x");
  // Names as a check found them, in another letter case; the launcher's
  // program stays the launcher item's even when asked for.
  EXPECT_EQ(Fetched(&release, release, true, {"CFG.INI", "data/flip.pak", "farLaunch.exe"}),
            (std::vector<std::string>{"Data/flip.pak", "cfg.ini"}));
  EXPECT_TRUE(plan.remove.empty());
}

TEST_F(ManifestPlanTest, WithoutAnInstalledManifestFetchesWhatDiffersOnDiskAndDeletesNothing) {
  const ReleaseManifest newest = Release("0003", {Line("same.pak", "same"), Line("size.pak", "twelve bytes"),
                                                  Line("flip.pak", "abcd"), Line("new.pak", "n")});
  dir.Write("same.pak", "same");
  dir.Write("size.pak", "eleven byte");
  dir.Write("flip.pak", "abce");
  dir.Write("other.txt", "not the release's");
  EXPECT_EQ(Fetched(nullptr, newest, true), (std::vector<std::string>{"flip.pak", "new.pak", "size.pak"}));
  EXPECT_TRUE(plan.remove.empty());
}

TEST_F(ManifestPlanTest, WithoutAnInstalledManifestTakesWhatTheRecordOfInstalledFilesVouchesFor) {
  const ReleaseManifest newest = Release("0003", {Line("kept.pak", "abcd"), Line("touched.pak", "abcd")});
  // Recorded as the newest content while they are not (the record is
  // believed, not checked); then one of them is written again.
  dir.Write("kept.pak", "xxxx");
  dir.Write("touched.pak", "xxxx");
  InstalledFiles record;
  for (const char* name : {"kept.pak", "touched.pak"}) record.Record(name, *StampOf(name), newest.files[0].sha256);
  std::string problem;
  ASSERT_TRUE(record.Save(problem)) << problem;
  std::filesystem::last_write_time(dir.Path() / "touched.pak", std::filesystem::file_time_type::clock::now() +
                                                                    std::chrono::seconds(5));
  EXPECT_EQ(Fetched(nullptr, newest, true), std::vector<std::string>{"touched.pak"});
}

TEST_F(ManifestPlanTest, InstallsTheOriginalsTemporaryNamesAndDeletesOnlyWhatStillHoldsTheListedContent) {
  const std::vector<ManifestFile> temporaries = {Line("Diff.dat", "d"), Line("Update.zip", "u"),
                                                 Line("tmp.tmp", "t"), Line("_tmp_up.dat", "p")};
  std::vector<ManifestFile> installedFiles = {Line("publisher.pub", "a key"), Line("farLaunch.signedtime", "1"),
                                              Line("cfg.ini", "volume=5"),    Line("edited.txt", "as shipped"),
                                              Line("same.txt", "as shipped"), Line("data/linked.pak", "linked")};
  // The key and the record as any content: never deleted; cfg.ini as
  // listed: the player's all the same; edited.txt edited by the player.
  dir.Write("publisher.pub", "another key");
  dir.Write("farLaunch.signedtime", "1");
  dir.Write("cfg.ini", "volume=5");
  dir.Write("edited.txt", "mine");
  dir.Write("same.txt", "as shipped");
  // The player moved data/linked.pak to another disk and left a link.
  dir.Write("elsewhere/linked.pak", "linked");
  std::filesystem::create_directories(dir.Path() / "data");
  std::filesystem::create_symlink(dir.Path() / "elsewhere/linked.pak", dir.Path() / "data/linked.pak");
  dir.Write("Diff.dat", "d");
  installedFiles.push_back(temporaries[0]);
  const ReleaseManifest installed = Release("0001", installedFiles);
  const ReleaseManifest newest = Release("0002", temporaries);

  // The original's temporary names are the release's files, with or
  // without an installed manifest.
  EXPECT_EQ(Fetched(nullptr, newest, true), (std::vector<std::string>{"Update.zip", "_tmp_up.dat", "tmp.tmp"}));
  EXPECT_EQ(Fetched(&installed, newest, true), (std::vector<std::string>{"Update.zip", "_tmp_up.dat", "tmp.tmp"}));
  EXPECT_EQ(plan.remove, std::vector<std::string>{"same.txt"});
  // The signing record is the launcher's own: kept without a word.
  std::map<std::string, Removal> kept;
  for (const ManifestPlan::KeptFile& file : plan.kept) kept[file.local] = file.reason;
  EXPECT_EQ(kept, (std::map<std::string, Removal>{{"cfg.ini", Removal::PlayersFile},
                                                  {"data/linked.pak", Removal::Link},
                                                  {"edited.txt", Removal::PlayersFile},
                                                  {"publisher.pub", Removal::TrustFile}}));
}

TEST_F(ManifestPlanTest, NeverTouchesTheLaunchersOwnFilesNorTrustFilesOfAnUnverifiedRun) {
  const std::vector<ManifestFile> own = {Line("farLaunch.exe", "x"), Line("FARLAUNCH-GTK.so", "x"),
                                         Line("updatecfg.xml", "x"), Line("farLaunch.manifest", "x"),
                                         Line("farLaunch.stage/abc", "x"), Line("farLaunch.journal", "x")};
  std::vector<ManifestFile> newestFiles = own;
  newestFiles.push_back(Line("publisher.pub", "a key"));
  std::vector<ManifestFile> installedFiles = own;
  installedFiles.push_back(Line("farLaunch.signedtime", "1"));
  for (const ManifestFile& file : installedFiles) dir.Write(file.name, "on disk");
  const ReleaseManifest installed = Release("0001", installedFiles);
  const ReleaseManifest newest = Release("0003", newestFiles);
  EXPECT_TRUE(Fetched(&installed, newest, false).empty());
  EXPECT_TRUE(plan.remove.empty());
  ASSERT_EQ(plan.refusedTrustFiles.size(), 1u);
  EXPECT_EQ(plan.refusedTrustFiles[0].local, "publisher.pub");
  // A verified run installs the publisher's key the release ships.
  EXPECT_EQ(Fetched(&installed, newest, true), std::vector<std::string>{"publisher.pub"});
  EXPECT_TRUE(plan.remove.empty());
  // A drive is no folder of the game.
  std::string problem;
  EXPECT_FALSE(PlanManifestUpdate(nullptr, Release("0004", {Line("C:/evil.dll", "x")}), true, {}, plan, problem));
  EXPECT_NE(problem.find("leaves the game directory"), std::string::npos) << problem;
}

}  // namespace
