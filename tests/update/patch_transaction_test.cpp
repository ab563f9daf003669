// Each entry's patches as one transaction: a failure anywhere in it, or a
// cancel, puts the entry back exactly as it was; the originals go only once
// its version is recorded. A journal undoes an entry that a kill cut short.
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <future>

#include "update/chain/install_item.h"
#include "update/gamedir/patch_transaction.h"
#include "update/gamedir/unpack_journal.h"
#include "update/site/game_files.h"
#include "update/update_fixture.h"

namespace {

namespace fs = std::filesystem;

ServerVersion Version(const std::string& file, const std::string& code, std::vector<ServerItem> items = {}) {
  return ServerVersion{"1", "0", file, code, std::move(items)};
}

class PatchRun : public UpdateFixture {
 protected:
  void SetUp() override {
    OpenTheFailureLog();
    dir.Write("data/map.dat", "map 10");
    dir.Write("data/keep.dat", "untouched");
    dir.Write("readme.txt", "readme 10");
    state.ends.failureExitCode = 1;
  }

  ServerItem Patch(const std::string& name, const std::string& archive) {
    site.Put("/" + name, archive);
    return ServerItem{"normal", name, site.Url("/" + name)};
  }

  // Publishes 0010 (installed) and the given newer entries, then runs the
  // update to its end; `prepare` runs just before.
  void RunUpdate(std::vector<ServerVersion> newer, const std::function<void()>& prepare = [] {}) {
    ServerDocument document;
    document.versions = {Version("10", "0010")};
    document.versions.insert(document.versions.end(), newer.begin(), newer.end());
    Publish(document);
    Install(true);
    prepare();
    before = Tree(dir.Path());
    ASSERT_TRUE(StartUpdateOf(state, platform));
    ASSERT_TRUE(WaitForWorker());
  }

  // The game as it was, the version unrecorded, nothing reported as done.
  void ExpectNothingChanged() {
    std::map<std::string, std::string> after = Tree(dir.Path());
    after.erase("farLaunch.log");
    EXPECT_EQ(after, before);
    EXPECT_EQ(state.progress.completion.load(), Pending);
    EXPECT_EQ(platform.system.ExitCodes(), std::vector<int>{1});
  }

  std::map<std::string, std::string> before;
};

TEST_F(PatchRun, ABadCrcInTheLastEntryLeavesTheGameExactlyAsItWas) {
  const std::string patch = WithEntryField(
      MakeOrderedZip({{"readme.txt", "readme 11"}, {"data/new/level.dat", "new level"}, {"data/map.dat", "map 11"}}), 2,
      EntryField::Crc, 0x12345678);
  RunUpdate({Version("11", "0011", {Patch("p11.zip", patch)})});

  ExpectNothingChanged();
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk("更新失败！！请重新更新！！！")});
  EXPECT_NE(FailureLog().find("ERROR farLaunch] p11.zip (" + site.Url("/p11.zip") + "): CRC mismatch in data/map.dat"),
            std::string::npos)
      << FailureLog();
}

TEST_F(PatchRun, AFailureInALaterEntryPutsBackOnlyThatEntry) {
  dir.Write("notes.txt", "notes 10");
  // The untyped item lands on a game file: it is put back too.
  site.Put("/n12.txt", "notes 12");
  RunUpdate({Version("11", "0011", {Patch("p11.zip", MakeZip({{"readme.txt", "readme 11"}, {"extra.txt", "e"}}))}),
             Version("12", "0012",
                     {Patch("p12.zip", MakeZip({{"readme.txt", "readme 12"}, {"new12.txt", "n"}})),
                      ServerItem{"file", "notes.txt", site.Url("/n12.txt")},
                      ServerItem{"normal", "p12b.zip", site.Url("/p12b.zip")}})});

  std::map<std::string, std::string> expected = before;
  expected["readme.txt"] = "readme 11";
  expected["extra.txt"] = "e";
  std::map<std::string, std::string> after = Tree(dir.Path());
  after.erase("farLaunch.log");
  expected.erase("updatecfg.xml");
  after.erase("updatecfg.xml");
  EXPECT_EQ(after, expected) << "0011 stays recorded and installed, all of 0012 is put back";
  EXPECT_NE(ReadVersionDocument().find("PackageCode=\"0011\""), std::string::npos) << ReadVersionDocument();
  EXPECT_EQ(state.progress.completion.load(), Pending);
  EXPECT_EQ(platform.system.ExitCodes(), std::vector<int>{1});
  EXPECT_EQ(site.Hits("/p11.zip"), 1);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk("下载失败！！请检查网络重新下载")});
  EXPECT_NE(FailureLog().find("p12b.zip (" + site.Url("/p12b.zip") + "): HTTP 404"), std::string::npos)
      << FailureLog();
}

// A way out (a signal, a launch from the page) while an untyped item
// downloads puts its entry back; the download that ends after it never
// lands on the game.
TEST_F(PatchRun, ADownloadThatEndsAfterTheWayOutNeverLandsOnTheGame) {
  dir.Write("notes.txt", "notes 10");
  std::promise<void> released;
  const std::shared_future<void> release = released.get_future().share();
  std::atomic<bool> asked{false};
  site.Route("/n11.txt", [release, &asked](const httplib::Request&, httplib::Response& response) {
    asked = true;
    release.wait();
    response.set_content("notes 11", "text/plain");
  });
  ServerDocument document;
  document.versions = {Version("10", "0010"),
                       Version("11", "0011", {ServerItem{"file", "notes.txt", site.Url("/n11.txt")}})};
  Publish(document);
  Install(true);
  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitUntil([&] { return asked.load(); }));

  ASSERT_TRUE(state.progress.TryClaimTheEnd());
  PutBackUnfinishedEntry("SIGTERM stopped the launcher");
  released.set_value();
  ASSERT_TRUE(WaitForWorker());
  EXPECT_EQ(dir.Read("notes.txt"), "notes 10");
  EXPECT_NE(ReadVersionDocument().find("PackageCode=\"0010\""), std::string::npos);
}

TEST_F(PatchRun, ALaterEntryOfTheSameNameWinsAndBothAreUndone) {
  const std::string patch = MakeOrderedZip({
      {"readme.txt", "first"}, {"readme.txt", "second"}, {"data/keep.dat/x", "a folder in the way"}});
  RunUpdate({Version("11", "0011", {Patch("p11.zip", patch)})});

  ExpectNothingChanged();
  EXPECT_NE(FailureLog().find("writing data/keep.dat/x"), std::string::npos) << FailureLog();
}

TEST_F(PatchRun, OriginalsComeBackUnderTheirOwnSpelling) {
  dir.Write("Data/Map.dat", "map 10");
  fs::remove(dir.Path() / "data/map.dat");
  fs::remove(dir.Path() / "data/keep.dat");
  fs::remove(dir.Path() / "data");
  const std::string patch = WithEntryField(
      MakeOrderedZip({{"DATA\\map.dat", "map 11"}, {"README.TXT", "readme 11"}, {"broken.dat", "b"}}), 2,
      EntryField::Crc, 0x12345678);
  RunUpdate({Version("11", "0011", {Patch("p11.zip", patch)})});

  ExpectNothingChanged();
}

TEST_F(PatchRun, APatchWithoutRoomToUnpackChangesNothing) {
  // The check sees the uncompressed size plus the headroom of the full
  // install.
  platform.system.SetFreeBytes(0x1000000 + 100000 - 1);
  RunUpdate({Version("11", "0011", {Patch("p11.zip", MakeZip({{"readme.txt", std::string(100000, 'r')}}))})});

  ExpectNothingChanged();
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk("磁盘剩余空间不足，请清理后再运行！")});
  EXPECT_NE(FailureLog().find("No space left on device: unpacking needs 16877216 bytes, 16877215 are free"),
            std::string::npos)
      << FailureLog();
}

TEST_F(PatchRun, OnceTheVersionIsRecordedEveryOriginalGoes) {
  std::vector<std::pair<std::string, std::string>> files;
  for (int n = 0; n < 12; ++n) {
    dir.Write("file" + std::to_string(n), "old");
    files.emplace_back("file" + std::to_string(n), "new");
  }
  files.emplace_back("readme.txt", "first");
  files.emplace_back("readme.txt", "second");
  RunUpdate({Version("11", "0011", {Patch("p11.zip", MakeOrderedZip(files))})});

  EXPECT_EQ(state.progress.completion.load(), Finished);
  EXPECT_EQ(dir.Read("readme.txt"), "second") << "a later entry of the same name wins";
  EXPECT_EQ(dir.Read("file11"), "new");
  EXPECT_EQ(state.renameCounter, 14);
  for (const auto& [name, content] : Tree(dir.Path())) {
    EXPECT_EQ(name.rfind("tmpFile", 0), std::string::npos) << name;
  }
  // No failure: the one line says that the game directory has no publisher key.
  const std::string log = FailureLog();
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
  EXPECT_NE(log.find("ERROR farLaunch] updates: not verified: no publisher key"), std::string::npos) << log;
}

TEST_F(PatchRun, AVersionThatCannotBeSavedIsAFailedUpdate) {
  // A read-only document is not replaced, for root neither.
  RunUpdate({Version("11", "0011", {Patch("p11.zip", MakeZip({{"readme.txt", "readme 11"}}))})}, [this] {
    fs::permissions(dir.Path() / "updatecfg.xml", fs::perms::owner_read | fs::perms::group_read);
  });

  ExpectNothingChanged();
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk("更新失败！！请重新更新！！！")});
  const std::string log = FailureLog();
  const std::size_t why = log.find("ERROR Base] OxFile: Saving updatecfg.xml failed: it is read-only");
  const std::size_t failure = log.find("ERROR farLaunch] updatecfg.xml: cannot be saved");
  EXPECT_NE(why, std::string::npos) << log;
  EXPECT_NE(failure, std::string::npos) << log;
  EXPECT_LT(why, failure) << "the reason comes first";
}

// What a kill in the middle of an entry leaves, settled by the next start:
// put back when the entry was not recorded, its originals deleted when it
// was, whatever the numbers of the moved-aside names. Files the game ships
// under such names are never taken for the launcher's.
TEST_F(PatchRun, AJournalLeftByAKilledRunIsSettledAtTheNextStart) {
  dir.Write("TmpFile127", "shipped by an earlier release");
  state.renameCounter = 127;
  before = Tree(dir.Path());
  const std::string archive = MakeOrderedZip({{"readme.txt", "readme 11"},
                                              {"data/map.dat", "map 11"},
                                              {"data/new/level.dat", "level"},
                                              {"tmpFile129", "shipped under a launcher's name"}});
  UpdateFileItem patch;
  patch.Type = "normal";
  std::map<std::string, std::string> killed;
  for (const std::string recorded : {"0010", "0011"}) {
    dir.Write("client.zip", archive);
    {
      PatchTransaction cutShort("0011");
      ASSERT_EQ(InstallItem(state, patch, "client.zip", cutShort).outcome, ArchiveOutcome::Installed);
      // Neither committed nor put back: as a kill leaves it.
    }
    ASSERT_TRUE(dir.Has("farLaunch.journal"));
    std::map<std::string, std::string> now = Tree(dir.Path());
    now.erase("farLaunch.log");
    if (killed.empty()) killed = now;
    EXPECT_EQ(killed, now) << "the same names in the same places";
    EXPECT_TRUE(SettleUnfinishedUnpack(recorded));
    std::map<std::string, std::string> after = Tree(dir.Path());
    after.erase("farLaunch.log");
    if (recorded == "0010") {
      EXPECT_EQ(after, before);
      EXPECT_NE(FailureLog().find("the update to 0011 was interrupted"), std::string::npos) << FailureLog();
    } else {
      std::map<std::string, std::string> patched = before;
      patched.erase("updatecfg.xml");
      after.erase("updatecfg.xml");
      patched["readme.txt"] = "readme 11";
      patched["data/map.dat"] = "map 11";
      patched["data/new"] = "<dir>";
      patched["data/new/level.dat"] = "level";
      patched["tmpFile129"] = "shipped under a launcher's name";
      EXPECT_EQ(after, patched);
    }
    state.renameCounter = 127;
  }
  EXPECT_FALSE(SettleUnfinishedUnpack("0011")) << "nothing left to settle";
}

// A release that turned a file into a folder and a folder into a file,
// killed before its record: the next start gives both their places back.
TEST_F(PatchRun, AFileMadeAFolderAndAFolderMadeAFileArePutBack) {
  dir.Write("data/maps", "the maps file");
  dir.Write("data/icons/a.ico", "an icon");
  before = Tree(dir.Path());
  // As the install left them: the deletions aside first, then the new files.
  fs::rename(dir.Path() / "data/maps", dir.Path() / "tmpFile0");
  fs::rename(dir.Path() / "data/icons/a.ico", dir.Path() / "tmpFile1");
  fs::remove(dir.Path() / "data/icons");
  dir.Write("data/maps/x.map", "a map");
  dir.Write("data/icons", "the icons file");
  dir.Write("farLaunch.journal",
            "farLaunch journal 1\ncode 0011\nmove data/maps tmpFile0 old\nmove data/icons/a.ico tmpFile1 old\n"
            "move data/maps/x.map tmpFile2 new\nmove data/icons tmpFile3 new\n");
  EXPECT_TRUE(SettleUnfinishedUnpack("0010"));
  std::map<std::string, std::string> after = Tree(dir.Path());
  after.erase("farLaunch.log");
  EXPECT_EQ(after, before);
}

// An update straight to the newest release killed while it placed what
// it fetched: the originals come back and the fetched content goes back
// into the stage, where the next run finds it instead of fetching it.
TEST_F(PatchRun, WhatAKilledInstallPlacedGoesBackIntoTheStage) {
  dir.Write("farLaunch.stage/ccc", "readme 11");
  before = Tree(dir.Path());
  fs::rename(dir.Path() / "data/map.dat", dir.Path() / "tmpFile0");
  dir.Write("data/map.dat", "map 11");
  dir.Write("data/new.dat", "shared");
  dir.Write("data/copy.dat", "shared");
  fs::remove_all(dir.Path() / "farLaunch.stage");
  dir.Write("farLaunch.stage/ccc", "readme 11");
  // readme.txt was next: its original is still in place.
  dir.Write("farLaunch.journal",
            "farLaunch journal 1\ncode 0011\nmove data/map.dat tmpFile0 old farLaunch.stage/aaa\n"
            "move data/copy.dat tmpFile1 new farLaunch.stage/bbb\nmove data/new.dat tmpFile2 new farLaunch.stage/bbb\n"
            "move readme.txt tmpFile3 old farLaunch.stage/ccc\n");
  EXPECT_TRUE(SettleUnfinishedUnpack("0010"));
  std::map<std::string, std::string> after = Tree(dir.Path());
  after.erase("farLaunch.log");
  std::map<std::string, std::string> expected = before;
  expected["farLaunch.stage/aaa"] = "map 11";
  expected["farLaunch.stage/bbb"] = "shared";
  EXPECT_EQ(after, expected);
}

// The transaction on its own, on what InstallArchive reports.
TEST_F(PatchRun, RollingBackAnInstallRemovesWhatItWroteAndTheFoldersItMade) {
  before = Tree(dir.Path());
  // Archivers store folder entries too ("data/new/").
  dir.Write("client.zip",
            MakeZip({{"readme.txt", "new"}, {"data/new/", ""}, {"data/new/deep/x.dat", "x"}, {"added.txt", "a"}}));
  ArchiveInstall how;
  how.asideName = [this] { return MovedAsideName(state.renameCounter++); };
  PatchTransaction run;
  run.Record(InstallArchive("client.zip", how, state.progress));
  fs::remove(dir.Path() / "client.zip");
  EXPECT_EQ(dir.Read("readme.txt"), "new");
  EXPECT_EQ(dir.Read("tmpFile3"), "readme 10");  // every entry takes a name, in archive order

  run.RollBack();
  EXPECT_EQ(Tree(dir.Path()), before);
  run.RollBack();  // forgotten once done
  EXPECT_EQ(Tree(dir.Path()), before);
}

TEST_F(PatchRun, ACancelInTheMiddleOfAnEntryIsReportedAndPutBack) {
  before = Tree(dir.Path());
  dir.Write("client.zip", MakeZip({{"readme.txt", "new"}}));
  ArchiveInstall how;
  how.asideName = [this] { return MovedAsideName(state.renameCounter++); };
  state.progress.cancelInstall = true;
  ArchiveInstallResult cancelled = InstallArchive("client.zip", how, state.progress);
  EXPECT_EQ(cancelled.outcome, ArchiveOutcome::Cancelled);
  fs::remove(dir.Path() / "client.zip");
  PutBack(cancelled);
  EXPECT_EQ(Tree(dir.Path()), before);
}

}  // namespace
