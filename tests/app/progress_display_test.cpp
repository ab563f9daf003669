// The status timer and the progress display, tick by tick.
#include "update/update_fixture.h"
#include "update/window_controls.h"

namespace {

class StatusTimer : public UpdateFixture {
 protected:
  std::string Status() const { return platform.window.LabelText(controls::StatusLabel); }
  std::string Percent() const { return platform.window.LabelText(controls::PercentLabel); }
  int BarRight() const { return platform.window.placements.at(controls::ProgressBarButton).rect.right; }
};

TEST_F(StatusTimer, SetProgressMovesTheBarExceptAtZero) {
  SetProgress(platform.window, 37);
  EXPECT_EQ(Percent(), "37%");
  EXPECT_EQ(BarRight(), 426 + 193);
  EXPECT_EQ(platform.window.placements.at(controls::ProgressBarButton).rect, (platform::Rect{426, 564, 619, 584}));
  SetProgress(platform.window, 100);
  EXPECT_EQ(BarRight(), 948);
  SetProgress(platform.window, 0);
  EXPECT_EQ(Percent(), "0%");
  EXPECT_EQ(BarRight(), 948);
  EXPECT_EQ(platform.window.progressValues, (std::vector<int>{37, 100, 0}));
}

TEST_F(StatusTimer, ANewFileStartsFromAnEmptyBarAndItsPercentagesGoOnFromThere) {
  const auto bar = [this] { return platform.window.placements.at(controls::ProgressBarButton); };
  state.progress.AnnounceDownload("patch-0002.zip", 1, 2);
  Tick();
  ShowDownloadProgress(state.progress, platform.window, 100);
  EXPECT_EQ(BarRight(), 948);

  state.progress.AnnounceDownload("patch-0003.zip", 2, 2);
  Tick();
  EXPECT_EQ(Status(), Gbk("正在下载文件:patch-0003.zip 2/2"));
  EXPECT_EQ(Percent(), "0%");
  EXPECT_EQ(bar().rect, (platform::Rect{426, 564, 426, 584}));
  EXPECT_FALSE(bar().visible);
  ShowDownloadProgress(state.progress, platform.window, 2);
  EXPECT_EQ(Percent(), "2%");
  EXPECT_EQ(BarRight(), 426 + 10);
  EXPECT_TRUE(bar().visible);

  // A retry of the same file, or an announcement whose percentage came
  // first, keeps the bar.
  state.progress.AnnounceRetryStarted();
  Tick();
  EXPECT_EQ(Percent(), "2%");
  state.progress.AnnounceDownload("1.0/3.0 MB", 1, 3);
  ShowDownloadProgress(state.progress, platform.window, 33);
  Tick();
  EXPECT_EQ(Status(), Gbk("正在下载文件:1.0/3.0 MB 1/3"));
  EXPECT_EQ(Percent(), "33%");
  EXPECT_EQ(BarRight(), 426 + 172);
}

TEST_F(StatusTimer, OnlyTheLatestStageOfATickIsShown) {
  state.progress.AnnounceDownload("patch.zip", 2, 3);
  Tick();
  EXPECT_EQ(Status(), Gbk("正在下载文件:patch.zip 2/3"));
  EXPECT_EQ(state.progress.stage.load(), Idle);

  state.progress.AnnounceDownload("next.zip", 3, 3);
  state.progress.stage = EntryDone;
  Tick();
  EXPECT_EQ(platform.window.labelTexts[controls::StatusLabel].size(), 2u);
  EXPECT_EQ(Status(), Gbk("获取服务器列表中…"));
}

TEST_F(StatusTimer, ARetryIsShownUntilItBegins) {
  state.progress.AnnounceDownload("patch.zip", 2, 3);
  state.progress.AnnounceRetry(1, 3);
  Tick();
  EXPECT_EQ(Status(), Gbk("网络中断，正在重试:patch.zip 1/3"));
  state.progress.AnnounceRetryStarted();
  Tick();
  EXPECT_EQ(Status(), Gbk("正在下载文件:patch.zip 2/3"));
}

// A window that lets a worker publish while the timer shows a code.
class PublishingWindow : public fake::FakeWindow {
 public:
  explicit PublishingWindow(UpdateProgress& progress) : progress_(progress) {}
  void SetLabelText(int id, const std::string& text) override {
    fake::FakeWindow::SetLabelText(id, text);
    if (id == controls::StatusLabel && !published_) {
      published_ = true;
      progress_.stage.store(Installing);
    }
  }

 private:
  UpdateProgress& progress_;
  bool published_ = false;
};

class PublishingPlatform : public fake::FakePlatform {
 public:
  explicit PublishingPlatform(UpdateProgress& progress) : publishing(progress) {}
  platform::Window& GetWindow() override { return publishing; }
  PublishingWindow publishing;
};

TEST_F(StatusTimer, ACodePublishedWhileAnotherIsShownIsNotLost) {
  PublishingPlatform racing(state.progress);
  state.progress.AnnounceDownload("small.zip", 1, 1);
  OnStatusTimer(state, racing, [](const std::string&) {});
  EXPECT_EQ(state.progress.stage.load(), Installing);
  OnStatusTimer(state, racing, [](const std::string&) {});
  EXPECT_EQ(racing.publishing.LabelText(controls::StatusLabel), Gbk("正在安装文件:"));
  EXPECT_EQ(racing.publishing.buttonImages.at(controls::ProgressBarButton), (fake::ButtonImages{2601, 2601, 2601}));
}

TEST_F(StatusTimer, InstallationPercentPast4GiB) {
  for (int i = 0; i < 11; ++i) Tick();
  state.progress.stage = Installing;
  Tick();
  state.progress.totalInstallBytes = 6LL << 30;
  state.progress.extractedBytes = 5LL << 30;
  for (int i = 0; i < 12; ++i) Tick();
  EXPECT_EQ(Percent(), "83%");
}

TEST_F(StatusTimer, LongFileNamesAreCutAt131Bytes) {
  state.progress.AnnounceDownload(std::string(200, 'n'), 1, 1);
  Tick();
  EXPECT_EQ(Status().size(), 131u);
  EXPECT_EQ(Status().substr(0, Gbk("正在下载文件:").size()), Gbk("正在下载文件:"));
}

TEST_F(StatusTimer, InstallationPercentEveryTwelfthTickWithDots) {
  // Ticks counted before the installation starts make its first refresh
  // happen in the tick that shows Installing, with nothing unpacked yet.
  for (int i = 0; i < 11; ++i) Tick();
  state.progress.stage = Installing;
  Tick();
  EXPECT_EQ(platform.window.buttonImages.at(controls::ProgressBarButton), (fake::ButtonImages{2601, 2601, 2601}));
  const auto& texts = platform.window.labelTexts[controls::StatusLabel];
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[texts.size() - 2], Gbk("正在安装文件:"));
  EXPECT_EQ(Status(), Gbk("正在更新文件"));
  EXPECT_EQ(Percent(), "0%");

  state.progress.totalInstallBytes = 100000;
  state.progress.extractedBytes = 49152;
  const std::vector<std::string> dots = {"·", "··", "···", "·", "··"};
  for (const std::string& expected : dots) {
    const size_t shown = texts.size();
    for (int i = 0; i < 11; ++i) Tick();
    EXPECT_EQ(texts.size(), shown) << "no refresh before the twelfth tick";
    Tick();
    EXPECT_EQ(Status(), Gbk("正在更新文件" + expected));
    EXPECT_EQ(Percent(), "49%");
  }

  // Every chunk counts 16 384 bytes, so the count overshoots the sum.
  state.progress.extractedBytes = 114688;
  for (int i = 0; i < 12; ++i) Tick();
  EXPECT_EQ(Percent(), "100%");
  EXPECT_EQ(BarRight(), 948);

  state.progress.stage = InstallDone;
  for (int i = 0; i < 24; ++i) Tick();
  EXPECT_EQ(Percent(), "100%");
  EXPECT_FALSE(state.progress.installDisplay);
}

TEST_F(StatusTimer, CompletionShowsDoneAndReplaysTheParkedRequest) {
  state.pendingWebRequest = "xServerBackUrl{{}}";
  state.progress.completion = Finished;
  Tick();
  EXPECT_TRUE(state.updateFinished);
  EXPECT_EQ(Status(), Gbk("更新完成"));
  EXPECT_EQ(Percent(), "100%");
  EXPECT_EQ(state.progress.completion.load(), Pending);
  EXPECT_EQ(replayed, std::vector<std::string>{"xServerBackUrl{{}}"});
  Tick();
  EXPECT_EQ(replayed.size(), 1u);
}

TEST_F(StatusTimer, CompletionEndsTheRunWhenAskedToAfterTheReplay) {
  platform.uiThread.StartTimer(kStatusTimer, kStatusTimerPeriodMs);
  state.ends.exitOnFinish = true;
  state.pendingWebRequest = "xServerBackUrl{{}}";
  state.progress.completion = Finished;
  EXPECT_THROW(Tick(), platform::ExitRequested);
  EXPECT_EQ(replayed.size(), 1u);
  EXPECT_EQ(Status(), Gbk("更新完成"));
  EXPECT_EQ(platform.system.ExitCodes(), std::vector<int>{0});
  EXPECT_FALSE(platform.uiThread.IsTimerRunning(kStatusTimer));
}

TEST_F(StatusTimer, EndingAtCompletionWaitsBoundedlyForThePagesFirstLoad) {
  platform.uiThread.StartTimer(kStatusTimer, kStatusTimerPeriodMs);
  state.ends.exitOnFinish = true;
  state.pageUrl = "http://news.invalid/";
  state.progress.completion = Finished;
  // A page that never loads holds the end for ten seconds of ticks.
  for (int tick = 0; tick < 100; ++tick) {
    ASSERT_NO_THROW(Tick()) << tick;
  }
  EXPECT_EQ(Status(), Gbk("更新完成"));
  EXPECT_TRUE(platform.system.ExitCodes().empty());
  EXPECT_THROW(Tick(), platform::ExitRequested);
  EXPECT_EQ(platform.system.ExitCodes(), std::vector<int>{0});
  EXPECT_FALSE(platform.uiThread.IsTimerRunning(kStatusTimer));
}

TEST_F(StatusTimer, EndingAtCompletionFollowsAPageAlreadyRead) {
  state.ends.exitOnFinish = true;
  state.pageUrl = "http://news.invalid/";
  state.progress.completion = Finished;
  Tick();
  EXPECT_TRUE(platform.system.ExitCodes().empty());
  state.pageRead = true;
  EXPECT_THROW(Tick(), platform::ExitRequested);

  // Read before completion: the completing tick itself ends the run.
  LauncherState readEarly;
  readEarly.ends.exitOnFinish = true;
  readEarly.pageUrl = "http://news.invalid/";
  readEarly.pageRead = true;
  readEarly.progress.completion = Finished;
  EXPECT_THROW(OnStatusTimer(readEarly, platform, [](const std::string&) {}), platform::ExitRequested);
  EXPECT_EQ(platform.system.ExitCodes(), (std::vector<int>{0, 0}));
}

TEST_F(StatusTimer, ElevenFailedRetriesThenTheNextTickIsFatal) {
  state.UpdateServerAddr = site.Url("/missing.xml");
  platform.uiThread.StartTimer(kStatusTimer, kStatusTimerPeriodMs);
  ASSERT_FALSE(StartUpdateOf(state, platform));
  EXPECT_EQ(state.progress.stage.load(), ServerConfigRetry);

  for (int tick = 1; tick <= 11; ++tick) {
    Tick();
    EXPECT_EQ(Status(), Gbk("获取服务器配置档中"));
    ASSERT_TRUE(WaitForWorker());
    EXPECT_EQ(site.Hits("/missing.xml"), tick + 1);
  }
  Tick();
  EXPECT_EQ(state.progress.stage.load(), ServerConfigFailed);
  EXPECT_TRUE(BoxTexts().empty());
  EXPECT_THROW(Tick(), platform::ExitRequested);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk("服务器配置档读取错误！")});
  EXPECT_FALSE(platform.uiThread.IsTimerRunning(kStatusTimer));
  EXPECT_EQ(site.Hits("/missing.xml"), 12);
}

TEST_F(StatusTimer, ARetryThatSucceedsStartsTheWorker) {
  ServerDocument document;
  document.versions = {ServerVersion{"1", "0", "10", "0010", {}}};
  Install(true);
  state.UpdateServerAddr = site.Url("/servercfg.xml");
  ASSERT_FALSE(StartUpdateOf(state, platform));
  site.Put("/servercfg.xml", document.Text());
  Tick();
  ASSERT_TRUE(WaitForCompletion());
  Tick();
  EXPECT_EQ(Status(), Gbk("更新完成"));
  EXPECT_EQ(state.progress.serverFailures, 0);
}

TEST_F(StatusTimer, EntryDoneAfterALauncherReplacementEndsWithoutRestart) {
  platform.uiThread.StartTimer(kStatusTimer, kStatusTimerPeriodMs);
  state.selfUpdated = true;
  state.progress.stage = EntryDone;
  EXPECT_THROW(Tick(), platform::ExitRequested);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk("farLaunch更新完成，请重新开启游戏！")});
  EXPECT_TRUE(platform.shell.Starts().empty());
  EXPECT_FALSE(platform.uiThread.IsTimerRunning(kStatusTimer));
}

TEST_F(StatusTimer, ClearedCacheRestartsTheLauncher) {
  dir.Write("tmpFile3", "aside");
  dir.Write("farLaunch.download.0011.1", "z");
  state.cacheCleared = true;
  state.ends.restartParameters = "--headless --exit-on-finish";
  EXPECT_THROW(Tick(), platform::ExitRequested);
  EXPECT_EQ(platform.shell.Starts().at(0).parameters, "--headless --exit-on-finish");
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk("清理缓存成功，请重新开启游戏！")});
  ASSERT_EQ(platform.shell.Starts().size(), 1u);
  EXPECT_EQ(platform.shell.Starts()[0].program, ".\\farLaunch.exe");
  EXPECT_TRUE(dir.Has("tmpFile3")) << "no journal names it: not the launcher's to delete";
  EXPECT_FALSE(dir.Has("farLaunch.download.0011.1"));
}

TEST_F(StatusTimer, ARestartThatCannotStartTheLauncherIsAFailure) {
  OpenTheFailureLog();
  state.cacheCleared = true;
  state.ends.failureExitCode = 1;
  platform.shell.SetResult(false);
  EXPECT_THROW(Tick(), platform::ExitRequested);
  EXPECT_EQ(platform.system.ExitCodes(), std::vector<int>{1});
  EXPECT_NE(FailureLog().find("restart (.\\farLaunch.exe): refused by the test"), std::string::npos) << FailureLog();
}

}  // namespace
