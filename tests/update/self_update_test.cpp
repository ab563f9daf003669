// Installing a new launcher and keeping the game directory free of the
// launcher's leftovers.
#include "update/chain/self_update.h"

#include "update/site/archive_install.h"
#include "update/site/game_files.h"

#include <filesystem>
#include <fstream>
#include "support/program_bytes.h"

#include "support/temp_dir.h"
#include "update/gamedir/temporary_files.h"
#include "update/update_fixture.h"

namespace {

class SelfUpdate : public UpdateFixture {
 protected:
  PatchTransaction entry{"0011"};
};

TEST_F(SelfUpdate, OnlyTheFirstEntryOfTheLauncherArchiveIsInstalled) {
  dir.Write("update.zip", MakeZip({{"farLaunch.exe", OwnProgramBytes("new")}, {"readme.txt", "ignored"}}));
  dir.Write("farLaunch.exe", "running");
  dir.Write("tmpUpdate0", "from an earlier run");

  ASSERT_EQ(InstallLauncherArchive(state, "update.zip", entry).outcome, ArchiveOutcome::Installed);

  EXPECT_TRUE(state.selfUpdated);
  EXPECT_EQ(dir.Read("farLaunch.exe"), OwnProgramBytes("new"));
  EXPECT_EQ(dir.Read("tmpUpdate0"), "running");
  EXPECT_FALSE(dir.Has("readme.txt"));
  const auto perms = std::filesystem::status(dir.Path() / "farLaunch.exe").permissions();
  EXPECT_NE(perms & std::filesystem::perms::owner_exec, std::filesystem::perms::none);
}

// One site serves every platform's launcher: only this platform's program
// takes the running one's place; any other is skipped, and logged.
TEST_F(SelfUpdate, ALauncherOfAnotherPlatformIsSkippedAndLogged) {
  OpenTheFailureLog();
  const ExecutableFormat other =
      OwnExecutableFormat() == ExecutableFormat::LinuxElf ? ExecutableFormat::WindowsPe : ExecutableFormat::LinuxElf;
  dir.Write("farLaunch.exe", "running");
  for (const ExecutableFormat format : {other, ExecutableFormat::Other}) {
    dir.Write("update.zip", MakeZip({{"farLaunch.exe", ProgramBytes(format, "foreign")}}));

    EXPECT_EQ(InstallLauncherArchive(state, "update.zip", entry).outcome, ArchiveOutcome::Installed);

    EXPECT_FALSE(state.selfUpdated);
    EXPECT_EQ(dir.Read("farLaunch.exe"), "running");
    EXPECT_FALSE(dir.Has("tmpUpdate0"));
    EXPECT_FALSE(dir.Has("farLaunch.exe.new"));
  }
  EXPECT_NE(FailureLog().find("farLaunch.exe is not a launcher for this platform (" + FormatDescription(other)),
            std::string::npos)
      << FailureLog();
  EXPECT_NE(FailureLog().find("farLaunch.exe is not a launcher for this platform (no program"), std::string::npos)
      << FailureLog();
}

// A patch or a full package that carries farLaunch.exe replaces the
// launcher only with a program of this platform, written whole first.
TEST_F(SelfUpdate, AProgramInAPatchOrAFullPackageIsCheckedAsTheLauncherItemChecksIt) {
  OpenTheFailureLog();
  for (const bool patch : {true, false}) {
    SCOPED_TRACE(patch ? "a patch" : "a full package");
    dir.Write("farLaunch.exe", "running");
    dir.Write("client.zip", MakeZip({{"farLaunch.exe", "#!/bin/sh\necho this is no launcher\n"},
                                     {"data/map.dat", "map"}}));
    ArchiveInstall how;
    int asides = 0;
    if (patch) how.asideName = [&asides] { return "tmpFile" + std::to_string(asides++); };
    ArchiveInstallResult result = InstallArchive("client.zip", how, state.progress);
    EXPECT_EQ(result.outcome, ArchiveOutcome::Installed) << result.reason;
    EXPECT_EQ(dir.Read("farLaunch.exe"), "running");
    EXPECT_EQ(dir.Read("data/map.dat"), "map");
    EXPECT_FALSE(dir.Has("farLaunch.exe.new"));
    EXPECT_NE(FailureLog().find("farLaunch.exe is not a launcher for this platform (no program"), std::string::npos)
        << FailureLog();

    dir.Write("client.zip", MakeZip({{"farLaunch.exe", OwnProgramBytes("new")}}));
    result = InstallArchive("client.zip", how, state.progress);
    ASSERT_EQ(result.outcome, ArchiveOutcome::Installed) << result.reason;
    EXPECT_EQ(dir.Read("farLaunch.exe"), OwnProgramBytes("new"));
    EXPECT_TRUE(dir.IsExecutable("farLaunch.exe"));
    // The running launcher is moved aside, where a transaction finds it.
    ASSERT_EQ(result.entries.size(), 1u);
    EXPECT_EQ(dir.Read(result.entries[0].movedAsideAs), "running");
    EXPECT_TRUE(result.entries[0].written);
  }
}

TEST_F(SelfUpdate, MissingOrBrokenArchiveIsAFailure) {
  dir.Write("farLaunch.exe", "running");
  EXPECT_NE(InstallLauncherArchive(state, "update.zip", entry).outcome, ArchiveOutcome::Installed);
  dir.Write("update.zip", "not a zip");
  EXPECT_NE(InstallLauncherArchive(state, "update.zip", entry).outcome, ArchiveOutcome::Installed);
  // The new launcher's bytes are all written before any of them is checked:
  // a damaged one must never take the running one's place.
  dir.Write("update.zip", WithEntryField(MakeZip({{"farLaunch.exe", OwnProgramBytes(std::string(300000, 'n'))}}), 0,
                                         EntryField::Crc, 0x12345678));
  EXPECT_NE(InstallLauncherArchive(state, "update.zip", entry).outcome, ArchiveOutcome::Installed);
  EXPECT_FALSE(state.selfUpdated);
  EXPECT_EQ(dir.Read("farLaunch.exe"), "running");
  EXPECT_FALSE(dir.Has("tmpUpdate0"));
}

TEST_F(SelfUpdate, ArchiveEntryOutsideTheGameDirectoryIsRefused) {
  const std::string victim = "victim-" + dir.Path().filename().string();
  const std::filesystem::path outside = dir.Path().parent_path() / victim;
  std::ofstream(outside) << "keep me";
  dir.Write("update.zip", MakeZip({{"../" + victim, "payload"}}));

  EXPECT_NE(InstallLauncherArchive(state, "update.zip", entry).outcome, ArchiveOutcome::Installed);

  EXPECT_EQ(ReadFile(outside.string()), "keep me");
  EXPECT_FALSE(dir.Has("tmpUpdate0"));
  std::filesystem::remove(outside);
}

// Served to a game without a key, a launcher archive cannot make its
// sender the publisher: an entry on the key is skipped and logged.
TEST_F(SelfUpdate, WithoutAKeyAnEntryOnThePublishersKeyIsSkipped) {
  OpenTheFailureLog();
  dir.Write("update.zip", MakeZip({{"Publisher.PUB::$DATA", "attacker key"}}));
  dir.Write("farLaunch.exe", "running");

  EXPECT_EQ(InstallLauncherArchive(state, "update.zip", entry).outcome, ArchiveOutcome::Installed);

  EXPECT_FALSE(state.selfUpdated);
  EXPECT_EQ(dir.Files(), (std::set<std::string>{"farLaunch.exe", "farLaunch.log", "update.zip"}));
  EXPECT_NE(FailureLog().find("Publisher.PUB::$DATA (update.zip): an unverified update may not install a publisher key"),
            std::string::npos)
      << FailureLog();
}

TEST_F(SelfUpdate, CleanUpsDeleteOnlyWhatTheRunMade) {
  // The original program's temporary names: a release may ship such files.
  const std::vector<std::string> shipped = {"_tmp.dat", "tmp.tmp", "_tmp_up.dat", "_dat.dat", "Diff.dat",
                                            "tmp_client.tmp", "Update.zip", "client.zip"};
  for (const std::string& name : shipped) dir.Write(name, "shipped");
  for (const char* name : {"servercfg.xml", "servercfg.xml.download", "farLaunch.download.0011.1"}) dir.Write(name, "t");
  dir.Write("farLaunch.download.0011.2.part", "the next run goes on from it");
  for (int n = 0; n <= 10; ++n) dir.Write("tmpFile" + std::to_string(n), "aside");
  dir.Write("tmpUpdate0", "old launcher");
  dir.Write("client.exe", "kept");
  std::filesystem::create_directory(dir.Path() / "tmpFile9x");
  // What a killed run was saving whole.
  const std::vector<std::string> abandoned = {"servercfg.xml.41-0.saving", "farLaunch.signedtime.41-1.saving",
                                              "farLaunch.fullinstall.41-2.saving", "updatecfg.xml.41-3.saving",
                                              "farLaunch.files.41-4.saving"};
  for (const std::string& name : abandoned) dir.Write(name, "half");
  dir.Write("updatecfg.xml.saving", "shipped");

  CleanTempFiles(state.FullPackageMadeThisRun());
  for (const char* name : {"servercfg.xml", "servercfg.xml.download", "farLaunch.download.0011.1"}) {
    EXPECT_FALSE(dir.Has(name)) << name;
  }
  for (const std::string& name : abandoned) EXPECT_FALSE(dir.Has(name)) << name;
  EXPECT_EQ(dir.Read("updatecfg.xml.saving"), "shipped");
  for (const std::string& name : shipped) EXPECT_EQ(dir.Read(name), "shipped") << name;
  EXPECT_TRUE(dir.Has("farLaunch.download.0011.2.part"));
  // Moved-aside names go only through the journal that made them.
  for (int n = 0; n <= 10; ++n) EXPECT_TRUE(dir.Has("tmpFile" + std::to_string(n))) << n;
  EXPECT_TRUE(dir.Has("tmpUpdate0"));
  EXPECT_TRUE(dir.Has("client.exe"));
  EXPECT_TRUE(dir.Has("tmpFile9x"));

  // The full package this run downloaded under such a name goes.
  state.MiniTargetFileName = "client.zip";
  state.fullPackageDownloaded = true;
  CleanTempFiles(state.FullPackageMadeThisRun());
  EXPECT_FALSE(dir.Has("client.zip"));
  EXPECT_EQ(dir.Read("Diff.dat"), "shipped");
}

// An original Windows would not delete yet waits under the launcher's own
// name; the next start removes those and the replaced launcher, nothing
// under a game's name.
TEST_F(SelfUpdate, WhatARunCouldNotDeleteGoesAtTheNextStartUnderTheLaunchersNameOnly) {
  dir.Write("tmpFile3", "the running client");
  dir.Write("farLaunch.leftover.1", "an earlier run's");
  dir.Write("tmpUpdate0", "old launcher");
  EXPECT_EQ(SetAsideForLaterRemoval("tmpFile3"), std::optional<std::string>("farLaunch.leftover.2"));
  EXPECT_EQ(dir.Read("farLaunch.leftover.2"), "the running client");
  EXPECT_EQ(SetAsideForLaterRemoval("tmpFile3"), std::nullopt) << "nothing left to move";
  dir.Write("tmpFile3", "a game file");
  dir.Write("farLaunch.leftover.x", "no leftover's name");

  RemoveLeftoversOfEarlierRuns();
  for (const char* name : {"farLaunch.leftover.1", "farLaunch.leftover.2", "tmpUpdate0"}) {
    EXPECT_FALSE(dir.Has(name)) << name;
  }
  EXPECT_EQ(dir.Read("tmpFile3"), "a game file");
  EXPECT_TRUE(dir.Has("farLaunch.leftover.x"));
}

TEST_F(SelfUpdate, GameFilesAreFoundAndDeletedWhateverTheirLetterCase) {
  dir.Write("Client.EXE", "game");
  dir.Write("SERVERCFG.xml", "document");
  EXPECT_TRUE(FileExists(".\\client.exe"));
  EXPECT_FALSE(FileExists("client.ex"));
  CleanTempFiles(state.FullPackageMadeThisRun());
  EXPECT_FALSE(dir.Has("SERVERCFG.xml"));
  DeleteFileIfPresent(".\\client.exe");
  EXPECT_FALSE(dir.Has("Client.EXE"));
}

}  // namespace
