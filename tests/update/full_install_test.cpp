// The full install when the client is missing: the client package is
// downloaded and unpacked, then the launcher items of newer entries follow.
#include <filesystem>
#include "support/program_bytes.h"

#include "update/update_fixture.h"
#include "update/window_controls.h"
#include "xml/base64.h"

namespace {

class FullInstall : public UpdateFixture {
 protected:
  void PublishPackage(const std::map<std::string, std::string>& files, std::vector<ServerItem> newerItems = {}) {
    site.Put("/full.zip", MakeZip(files));
    ServerDocument document;
    document.versions = {ServerVersion{"1", "0", "10", "0010", {}},
                         ServerVersion{"1", "2", "12", "0012", std::move(newerItems)}};
    document.site["MiniTargetFileName"] = "tmp_client.tmp";
    document.site["MiniSourceFileAddr"] = site.Url("/full.zip");
    Publish(document);
    Install(false);
  }
};

TEST_F(FullInstall, UnpacksThePackageAndRecordsTheNewestVersion) {
  const std::string client(40000, 'c');
  PublishPackage({{"client.exe", client}, {"data/map.dat", "map"}, {"updatecfg_tmp.xml", "unused"}});

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForCompletion());

  EXPECT_EQ(state.progress.completion.load(), Finished);
  EXPECT_EQ(dir.Read("client.exe"), client);
  EXPECT_EQ(dir.Read("data/map.dat"), "map");
  EXPECT_EQ(state.progress.totalInstallBytes.load(), 40000 + 3 + 6);
  EXPECT_NE(ReadVersionDocument().find("PackageCode=\"0012\""), std::string::npos);
  // updatecfg.xml was there, so the package's temporary copy stays unused.
  EXPECT_TRUE(dir.Has("updatecfg_tmp.xml"));
  EXPECT_FALSE(dir.Has("tmp_client.tmp"));
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(FullInstall, PromotesTheTemporaryVersionDocumentWhenNoneIsThere) {
  LocalVersion shipped;
  shipped.PackageCode = "0001";
  PublishPackage({{"client.exe", "c"}, {"updatecfg_tmp.xml", StoredVersionDocument(shipped)}});
  std::filesystem::remove(dir.Path() / "updatecfg.xml");

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForCompletion());

  EXPECT_FALSE(dir.Has("updatecfg_tmp.xml"));
  EXPECT_NE(ReadVersionDocument().find("PackageCode=\"0012\""), std::string::npos);
}

TEST_F(FullInstall, NewerLauncherItemsReplaceTheLauncher) {
  site.Put("/launcher.zip", MakeZip({{"farLaunch.exe", OwnProgramBytes("new launcher")}}));
  PublishPackage({{"client.exe", "c"}}, {ServerItem{"normal", "skip.zip", site.Url("/skip.zip")},
                                         ServerItem{"farLaunch", "farLaunch", site.Url("/launcher.zip")}});

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForCompletion());

  EXPECT_EQ(state.progress.completion.load(), LauncherReplaced);
  EXPECT_EQ(dir.Read("farLaunch.exe"), OwnProgramBytes("new launcher"));
  EXPECT_EQ(site.Hits("/skip.zip"), 0);
  EXPECT_NE(ReadVersionDocument().find("PackageCode=\"0012\""), std::string::npos);
}

// Served to a game without a key, the package cannot make its sender the
// publisher: its entries on the trust files are skipped, the rest installs.
TEST_F(FullInstall, WithoutAKeyThePackageInstallsNoTrustFiles) {
  OpenTheFailureLog();
  PublishPackage({{"client.exe", "c"},
                  {"PUBLISHER.pub", "attacker key"},
                  {"FARLAUNCH.SIGNEDTIME", "9999999999\n"},
                  {"publisher.pub/in-the-way.txt", "a folder where the key goes"}});

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForCompletion());

  EXPECT_EQ(state.progress.completion.load(), Finished);
  EXPECT_EQ(dir.Read("client.exe"), "c");
  EXPECT_FALSE(dir.Has("publisher.pub"));
  for (const char* name : {"PUBLISHER.pub", "FARLAUNCH.SIGNEDTIME", "publisher.pub/in-the-way.txt"}) {
    EXPECT_FALSE(dir.Has(name)) << name;
    EXPECT_NE(FailureLog().find(name + std::string(" (tmp_client.tmp): an unverified update may not install a "
                                                  "publisher key")),
              std::string::npos)
        << FailureLog();
  }
}

class FailedPackage : public FullInstall, public testing::WithParamInterface<std::pair<std::string, std::string>> {};

// A package that cannot be fetched, whose file name would leave the game
// directory, or that would land on the publisher's key in a run without
// one, is a failed download: nothing is recorded, nothing completes.
TEST_P(FailedPackage, IsNotReportedAsDone) {
  site.Put("/full.zip", MakeZip({{"client.exe", "c"}}));
  ServerDocument document;
  document.versions = {ServerVersion{"1", "0", "10", "0010", {}}, ServerVersion{"1", "2", "12", "0012", {}}};
  document.site["MiniTargetFileName"] = GetParam().first;
  document.site["MiniSourceFileAddr"] = site.Url(GetParam().second);
  Publish(document);
  Install(false);

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForWorker());
  EXPECT_EQ(state.progress.stage.load(), CannotUpdate);

  EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk("下载失败！！！")});
  EXPECT_EQ(state.progress.completion.load(), Pending);
  EXPECT_NE(ReadVersionDocument().find("PackageCode=\"0010\""), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.Path().parent_path() / "escaped.zip"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / GetParam().first));
  Tick();
  EXPECT_EQ(platform.window.LabelText(1007), Gbk("无法更新"));
  EXPECT_FALSE(state.updateFinished);
}

INSTANTIATE_TEST_SUITE_P(FullInstall, FailedPackage,
                         testing::Values(std::make_pair(std::string("tmp_client.tmp"), std::string("/gone.zip")),
                                         std::make_pair(std::string("../escaped.zip"), std::string("/full.zip")),
                                         std::make_pair(std::string("Publisher.pub"), std::string("/full.zip"))));

TEST_F(FullInstall, TooLittleDiskSpaceEndsBeforeUnpacking) {
  const std::string client(100000, 'c');
  PublishPackage({{"client.exe", client}});
  platform.system.SetFreeBytes(0x1000000 + 100000 - 1);
  platform.uiThread.StartTimer(kStatusTimer, kStatusTimerPeriodMs);

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(platform.system.WaitForExit().has_value());

  EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk("磁盘剩余空间不足，请清理后再运行！")});
  EXPECT_FALSE(dir.Has("client.exe"));
  EXPECT_FALSE(dir.Has("tmp_client.tmp"));
  EXPECT_EQ(platform.system.ExitCodes(), std::vector<int>{0});
  DeliverPosted();
  EXPECT_FALSE(platform.uiThread.IsTimerRunning(kStatusTimer));
}

TEST_F(FullInstall, EnoughDiskSpaceWithTheHeadroomUnpacks) {
  PublishPackage({{"client.exe", std::string(100000, 'c')}});
  platform.system.SetFreeBytes(0x1000000 + 100000);

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForCompletion());
  EXPECT_TRUE(dir.Has("client.exe"));
}

TEST_F(FullInstall, CancelRequestStopsBeforeTheNextEntry) {
  PublishPackage({{"client.exe", "c"}, {"more.dat", "m"}});
  state.progress.cancelInstall = true;

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForWorker());
  EXPECT_EQ(state.progress.stage.load(), Installing);

  EXPECT_FALSE(dir.Has("client.exe"));
  EXPECT_FALSE(dir.Has("more.dat"));
  EXPECT_EQ(state.progress.completion.load(), Pending);
  EXPECT_NE(ReadVersionDocument().find("PackageCode=\"0010\""), std::string::npos);
}

TEST_F(FullInstall, APackageAddressThatIsNotHttpIsAFailedDownload) {
  for (const std::string& address : {std::string("ftp://127.0.0.1/full.zip"), std::string(),
                                     std::string("file:///etc/passwd")}) {
    SCOPED_TRACE(address);
    GameDirectory game;
    LauncherState fresh;
    fake::FakePlatform quiet;
    ServerDocument document;
    document.versions = {ServerVersion{"1", "0", "10", "0010", {}}, ServerVersion{"1", "2", "12", "0012", {}}};
    document.site["MiniTargetFileName"] = "tmp_client.tmp";
    document.site["MiniSourceFileAddr"] = address;
    site.Put("/servercfg.xml", document.Text());
    game.Write("updatecfg.xml", StoredVersionDocument(installed));
    fresh.UpdateServerAddr = site.Url("/servercfg.xml");
    fresh.PackageCode = "0010";

    ASSERT_TRUE(StartUpdateOf(fresh, quiet));
    ASSERT_TRUE(WaitUntil([&] { return !fresh.progress.workerRunning; }));

    EXPECT_EQ(fresh.progress.stage.load(), CannotUpdate);
    EXPECT_EQ(fresh.progress.completion.load(), Pending);
    ASSERT_EQ(quiet.dialogs.Boxes().size(), 1u);
    EXPECT_EQ(quiet.dialogs.Boxes()[0].text, Gbk("下载失败！！！"));
    EXPECT_EQ(Base64Decode(game.Read("updatecfg.xml")), Base64Decode(StoredVersionDocument(installed)));
  }
}

TEST_F(FullInstall, AnUnfinishedInstallKeepsItsMarkerUntilTheVersionIsRecorded) {
  // The client is unpacked first; the entry after it is damaged.
  PublishPackage({});
  site.Put("/full.zip", WithEntryField(MakeOrderedZip({{"client.exe", "client"}, {"data/base.dat", "base"}}), 1,
                                       EntryField::Crc, 0x12345678));
  OpenTheFailureLog();

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForWorker());

  EXPECT_EQ(dir.Read("client.exe"), "client");
  EXPECT_EQ(dir.Read("farLaunch.fullinstall"), site.Url("/full.zip") + "\n");
  EXPECT_EQ(state.progress.completion.load(), Pending);
  EXPECT_NE(ReadVersionDocument().find("PackageCode=\"0010\""), std::string::npos);
  EXPECT_NE(FailureLog().find("full client package tmp_client.tmp (" + site.Url("/full.zip") +
                              "): CRC mismatch in data/base.dat"),
            std::string::npos)
      << FailureLog();

  // Once the package is whole, the install is recorded and the marker goes.
  site.Put("/full.zip", MakeZip({{"client.exe", "client"}, {"data/base.dat", "base"}}));
  LauncherState again;
  again.UpdateServerAddr = state.UpdateServerAddr;
  again.PackageCode = state.PackageCode;
  ASSERT_TRUE(StartUpdateOf(again, platform));
  ASSERT_TRUE(WaitUntil([&] { return !again.progress.workerRunning; }));
  EXPECT_EQ(again.progress.completion.load(), Finished);
  EXPECT_FALSE(dir.Has("farLaunch.fullinstall"));
  EXPECT_NE(ReadVersionDocument().find("PackageCode=\"0012\""), std::string::npos);
}

TEST_F(FullInstall, SizesPast4GiBAreCountedInFull) {
  // Two entries that claim 3 GiB each; no data backs them.
  const std::string package = WithEntryField(
      WithEntryField(MakeOrderedZip({{"client.exe", "c"}, {"data.pak", "d"}}), 0, EntryField::UncompressedSize,
                     0xC0000000u),
      1, EntryField::UncompressedSize, 0xC0000000u);
  PublishPackage({});
  site.Put("/full.zip", package);

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForWorker());

  EXPECT_EQ(state.progress.totalInstallBytes.load(), 6LL << 30);
  EXPECT_EQ(state.progress.completion.load(), Pending) << "entries without their data are not installed";
}

}  // namespace
