// The window's buttons: the command table, closing with the installation
// stop protocol, and clearing the cache.
#include "app/window_commands.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "update/update_fixture.h"

namespace {

class WindowCommands : public UpdateFixture {
 protected:
  void Command(int id) { OnWindowCommand(state, platform, id); }
};

TEST_F(WindowCommands, TableDispatchesInOrder) {
  for (int id : {2031, 2032, 2033, 2025, 2037, 2039, 2062, 2063, 2076, 2078, 1005}) Command(id);
  EXPECT_EQ(platform.window.minimiseCount, 0);
  EXPECT_TRUE(platform.system.ExitCodes().empty());
  Command(2038);
  EXPECT_EQ(platform.window.minimiseCount, 1);
  EXPECT_FALSE(state.cacheCleared);
}

TEST_F(WindowCommands, CloseOutsideAnInstallationEndsAtOnceAndCleansUp) {
  for (int id : {2021, 2022}) {
    dir.Write("tmpFile0", "aside");
    dir.Write("farLaunch.download.0011.1", "a patch not unpacked yet");
    EXPECT_THROW(Command(id), platform::ExitRequested);
    EXPECT_TRUE(dir.Has("tmpFile0")) << "no journal names it: not the launcher's to delete";
    EXPECT_FALSE(dir.Has("farLaunch.download.0011.1"));
  }
  EXPECT_TRUE(BoxTexts().empty());
  EXPECT_EQ(platform.system.ExitCodes(), (std::vector<int>{0, 0}));
}

TEST_F(WindowCommands, CloseWhileUnpackingAsksAndStopsTheInstallation) {
  dir.Write("client.exe", "half written");
  // Many small entries count a chunk each: the count passes the total long
  // before the end, and the question still comes.
  state.progress.totalInstallBytes = 1000000;
  state.progress.extractedBytes = 2000000;
  ASSERT_TRUE(state.progress.BeginUnpacking(Unpacking::FullPackage));

  platform.dialogs.ScriptAnswers({false});
  Command(2021);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk("当前正在安装，强制关闭可能损坏文件，是否继续关闭？")});
  EXPECT_FALSE(state.progress.cancelInstall);
  EXPECT_TRUE(platform.system.ExitCodes().empty());
  EXPECT_TRUE(dir.Has("client.exe"));

  platform.dialogs.ScriptAnswers({true});
  Command(2021);
  EXPECT_TRUE(state.progress.cancelInstall);
  EXPECT_TRUE(platform.system.ExitCodes().empty()) << "the window's thread never waits for the installer";
  FinishParkedClose(state, platform);
  EXPECT_TRUE(platform.system.ExitCodes().empty()) << "the installer has not stopped yet";
  // The installer sees the request and stops unpacking; the next tick ends.
  state.progress.EndUnpacking();
  EXPECT_THROW(FinishParkedClose(state, platform), platform::ExitRequested);
  EXPECT_EQ(BoxTexts().size(), 2u) << "asked once";
  EXPECT_FALSE(dir.Has("client.exe"));
  EXPECT_EQ(platform.system.ExitCodes(), std::vector<int>{0});
  EXPECT_FALSE(state.progress.BeginUnpacking(Unpacking::Archive)) << "no unpack starts once the end is claimed";
}

TEST_F(WindowCommands, CloseWhileAPatchUnpacksStopsItWithoutAQuestionAndWaitsForItsFilesToSettle) {
  dir.Write("tmpFile0", "the original, until the patch is put back");
  ASSERT_TRUE(state.progress.BeginUnpacking(Unpacking::Archive));
  Command(2021);
  EXPECT_TRUE(state.progress.cancelInstall);
  FinishParkedClose(state, platform);
  EXPECT_TRUE(platform.system.ExitCodes().empty());
  std::filesystem::rename(dir.Path() / "tmpFile0", dir.Path() / "data.pak");
  state.progress.EndUnpacking();
  EXPECT_THROW(FinishParkedClose(state, platform), platform::ExitRequested);
  EXPECT_TRUE(BoxTexts().empty());
  EXPECT_EQ(dir.Read("data.pak"), "the original, until the patch is put back");
}

// The real full-install worker, with boxes shown on the UI thread as the
// window front end shows them.
TEST_F(WindowCommands, ACloseInTheLastEntryStopsTheFullInstallAndNeverWaitsForAWorkersBox) {
  // The last entry is long enough to be caught while it is written.
  site.Put("/full.zip", MakeZip({{"client.exe", "client"}, {"data/zz-large.pak", std::string(128 << 20, '\0')}}));
  ServerDocument document;
  document.versions = {ServerVersion{"1", "0", "10", "0010", {}},
                       ServerVersion{"1", "2", "12", "0012", {ServerItem{"farLaunch", "farLaunch", site.Url("/l.zip")}}}};
  document.site["MiniTargetFileName"] = "tmp_client.tmp";
  document.site["MiniSourceFileAddr"] = site.Url("/full.zip");
  Publish(document);
  Install(false);
  platform.dialogs.ServeWorkerBoxesOn(platform.uiThread);
  platform.dialogs.ScriptAnswers({true});

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitUntil([this] {
    return state.progress.unpacking.load() == Unpacking::FullPackage && state.progress.extractedBytes > (1 << 20);
  }));
  // This thread is the UI thread: the close is parked while the worker
  // stops, and the next tick ends.
  Command(2021);
  ASSERT_TRUE(WaitForWorker());
  EXPECT_THROW(FinishParkedClose(state, platform), platform::ExitRequested);

  EXPECT_EQ(platform.dialogs.UnservedBoxes(), 0);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk("当前正在安装，强制关闭可能损坏文件，是否继续关闭？")});
  EXPECT_EQ(state.progress.completion.load(), Pending);
  EXPECT_NE(ReadVersionDocument().find("PackageCode=\"0010\""), std::string::npos);
  EXPECT_EQ(site.Hits("/l.zip"), 0) << "no launcher update is fetched after a cancel";
  EXPECT_FALSE(dir.Has("client.exe"));
  EXPECT_TRUE(dir.Has("farLaunch.fullinstall"));
}

TEST_F(WindowCommands, ClearCacheDeletesPackageAndClientThenTheTimerRestarts) {
  dir.Write("QZ_game.pkg", "p");
  dir.Write("client.exe", "c");
  dir.Write("readme.txt", "r");
  Command(2077);
  EXPECT_TRUE(state.cacheCleared);
  EXPECT_FALSE(dir.Has("QZ_game.pkg"));
  EXPECT_FALSE(dir.Has("client.exe"));
  EXPECT_TRUE(dir.Has("readme.txt"));
  Command(2077);  // nothing left to delete is no error
  EXPECT_THROW(Tick(), platform::ExitRequested);
  EXPECT_EQ(platform.shell.Starts().at(0).program, ".\\farLaunch.exe");
}

}  // namespace
