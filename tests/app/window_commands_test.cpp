// The window's buttons: the command table, closing with the installation
// stop protocol, and clearing the cache.
#include "app/window_commands.h"

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
    dir.Write("client.zip", "partial download");
    state.progress.installing = true;  // a full install still downloading
    EXPECT_THROW(Command(id), platform::ExitRequested);
    EXPECT_FALSE(dir.Has("tmpFile0"));
    EXPECT_FALSE(dir.Has("client.zip"));
  }
  EXPECT_TRUE(BoxTexts().empty());
  EXPECT_EQ(platform.system.ExitCodes(), (std::vector<int>{0, 0}));
}

TEST_F(WindowCommands, CloseWhileUnpackingAsksAndStopsTheInstallation) {
  dir.Write("client.exe", "half written");
  state.progress.totalInstallBytes = 1000000;
  state.progress.extractedBytes = 16384;
  state.progress.installing = true;

  platform.dialogs.ScriptAnswers({false});
  Command(2021);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk("当前正在安装，强制关闭可能损坏文件，是否继续关闭？")});
  EXPECT_FALSE(state.progress.cancelInstall);
  EXPECT_TRUE(platform.system.ExitCodes().empty());
  EXPECT_TRUE(dir.Has("client.exe"));

  // The installer sees the request, stops and clears `installing`.
  std::thread installer([this] {
    while (!state.progress.cancelInstall) std::this_thread::yield();
    state.progress.installing = false;
  });
  platform.dialogs.ScriptAnswers({true});
  EXPECT_THROW(Command(2021), platform::ExitRequested);
  installer.join();
  EXPECT_FALSE(dir.Has("client.exe"));
  EXPECT_EQ(platform.system.ExitCodes(), std::vector<int>{0});
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
