// rh_game.ini and cfg.ini as start-up reads and writes them.
#include "app/game_options.h"

#include <filesystem>

#include "update/update_fixture.h"

namespace {

using GameOptions = UpdateFixture;

TEST_F(GameOptions, FirstStartAddsTheSectionAndSaves) {
  dir.Write("rh_game.ini", "[Video]\nWidth=800\n");
  ReadGameOptions(state);
  EXPECT_EQ(state.ForceUpdateVersion, 1);
  EXPECT_TRUE(state.AraeName.empty());
  const std::string saved = dir.Read("rh_game.ini");
  EXPECT_NE(saved.find("Width"), std::string::npos) << saved;
  EXPECT_NE(saved.find("\n\n[farLaunch]\nForceUpdateVersion"), std::string::npos) << saved;
}

TEST_F(GameOptions, AFileWithCrlfLinesKeepsThem) {
  dir.Write("rh_game.ini", "[Video]\r\nWidth=800\r\n");
  const std::string rewritten = "\r\n[Video]\r\nWidth = 800\r\n\r\n[farLaunch]\r\nForceUpdateVersion = 1\r\n";
  ReadGameOptions(state);
  EXPECT_EQ(dir.Read("rh_game.ini"), rewritten);
  MarkPackageSeen(state);
  EXPECT_EQ(dir.Read("rh_game.ini"), rewritten);
}

TEST_F(GameOptions, MissingKeyIsAddedOnlyWhenThePackageIsThere) {
  const std::string ini = "[farLaunch]\nAraeName=north\n";
  dir.Write("rh_game.ini", ini);
  ReadGameOptions(state);
  EXPECT_EQ(state.ForceUpdateVersion, 0);
  EXPECT_EQ(state.AraeName, "north");
  EXPECT_EQ(dir.Read("rh_game.ini"), ini);

  dir.Write("QZ_game.pkg", "pkg");
  ReadGameOptions(state);
  EXPECT_EQ(state.ForceUpdateVersion, 1);
  EXPECT_NE(dir.Read("rh_game.ini").find("ForceUpdateVersion"), std::string::npos);
  LauncherState again;
  ReadGameOptions(again);
  EXPECT_EQ(again.ForceUpdateVersion, 1);
}

TEST_F(GameOptions, StoredValuesAreTakenAsTheyAre) {
  dir.Write("rh_game.ini", "[farLaunch]\nForceUpdateVersion=3\n");
  ReadGameOptions(state);
  EXPECT_EQ(state.ForceUpdateVersion, 3);
  EXPECT_EQ(state.downloadRateLimit, 0u) << "no limit unless one is set";
  dir.Write("rh_game.ini", "[farLaunch]\nForceUpdateVersion=3\nDownloadRateLimit=512\n");
  ReadGameOptions(state);
  EXPECT_EQ(state.downloadRateLimit, 512u * 1024);
  LauncherState zero;
  dir.Write("rh_game.ini", "[farLaunch]\nDownloadRateLimit=0\n");
  ReadGameOptions(zero);
  EXPECT_EQ(zero.downloadRateLimit, 0u);
}

TEST_F(GameOptions, PackageSeenWithoutIniWritesAnEmptyOne) {
  MarkPackageSeen(state);
  EXPECT_EQ(state.ForceUpdateVersion, 1);
  EXPECT_TRUE(dir.Has("rh_game.ini"));
  EXPECT_EQ(dir.Read("rh_game.ini").find("ForceUpdateVersion"), std::string::npos);
}

TEST_F(GameOptions, PackageSeenKeepsAnAbsentKeyAbsentAndAnUnreadableFileIntact) {
  dir.Write("rh_game.ini", "[farLaunch]\nForceUpdateVersion=0\n[Other]\nA=1\n");
  MarkPackageSeen(state);
  const std::string saved = dir.Read("rh_game.ini");
  EXPECT_NE(saved.find("ForceUpdateVersion"), std::string::npos);
  EXPECT_NE(saved.find("1"), std::string::npos);

  dir.Write("rh_game.ini", "[farLaunch]\nAraeName=x\n");
  MarkPackageSeen(state);
  EXPECT_EQ(dir.Read("rh_game.ini").find("ForceUpdateVersion"), std::string::npos);

  const std::string broken = "[farLaunch\nAraeName=x\n[[[\n";
  dir.Write("rh_game.ini", broken);
  MarkPackageSeen(state);
  EXPECT_EQ(dir.Read("rh_game.ini"), broken);
}

TEST_F(GameOptions, APlayersFileStaysReadableAfterTheLauncherWritesIt) {
  // Written by hand or by an older tool: found whatever its letter case,
  // a bare value with a quote, a section without a name.
  dir.Write("RH_GAME.INI", "[]\nLegacy = 1\n[farLaunch]\nAraeName = Harbour\"East\n");
  std::filesystem::permissions(dir.Path() / "RH_GAME.INI", std::filesystem::perms::owner_read |
                                                              std::filesystem::perms::owner_write);
  dir.Write("QZ_game.pkg", "pkg");
  ReadGameOptions(state);
  EXPECT_EQ(state.AraeName, "Harbour\"East");
  EXPECT_EQ(state.ForceUpdateVersion, 1);
  EXPECT_FALSE(dir.Has("rh_game.ini")) << "the file that is there is written, not a second one";
  EXPECT_EQ(std::filesystem::status(dir.Path() / "RH_GAME.INI").permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

  LauncherState next;
  ReadGameOptions(next);
  EXPECT_EQ(next.AraeName, "Harbour\"East") << dir.Read("RH_GAME.INI");
  EXPECT_EQ(next.ForceUpdateVersion, 1);
  MarkPackageSeen(next);
  EXPECT_NE(dir.Read("RH_GAME.INI").find("\n[]\nLegacy = 1\n"), std::string::npos) << dir.Read("RH_GAME.INI");
}

TEST_F(GameOptions, InstallerTagForms) {
  EXPECT_EQ(InstallerTag("setup_abc.tmp"), "abc");
  EXPECT_EQ(InstallerTag("setupabc.tmp"), "setupabc");
  EXPECT_EQ(InstallerTag("setup_abc"), "abc");
  EXPECT_EQ(InstallerTag("a_b_c.tmp.tmp"), "b_c");
  EXPECT_EQ(InstallerTag(""), "");

  dir.Write("cfg.ini", "[Startup Options]\nSetUpName=fog_web01.tmp\n");
  ReadInstallerTag(state);
  EXPECT_EQ(state.pos, "web01");
}

}  // namespace
