// Start-up of the main dialog in a prepared game directory, and the events
// it answers afterwards.
#include "app/cfarlaunch_app.h"
#include "app/cfarlaunch_dlg.h"
#include "base/init/ox_base.h"
#include "support/silent_server.h"
#include "update/update_fixture.h"
#include "update/window_controls.h"
#include "xml/base64.h"

namespace {

using platform::WM_DOWNLOAD_PROGRESS;
using platform::WM_UPDATE_COMPLETED;

class Startup : public UpdateFixture {
 protected:
  LauncherState& Dialog() { return dialog.State(); }
  bool WaitForDialogWorker() {
    return WaitUntil([this] { return !Dialog().progress.workerRunning; }) &&
           Dialog().progress.completion.load() != Pending;
  }
  // A server document whose full client package holds `files`.
  void PublishFullPackage(const std::map<std::string, std::string>& files) {
    site.Put("/full.zip", MakeZip(files));
    ServerDocument document;
    document.versions = {ServerVersion{"1", "0", "10", "0010", {}}};
    document.site["MiniTargetFileName"] = "tmp_client.tmp";
    document.site["MiniSourceFileAddr"] = site.Url("/full.zip");
    Publish(document);
  }
  void PublishTwoVersions() {
    ServerDocument document;
    document.versions = {ServerVersion{"1", "0", "10", "0010", {}}, ServerVersion{"1", "3", "14", "0014", {}}};
    document.site["WebAddr"] = "http://news.invalid/";
    Publish(document);
  }

  CfarLaunchDlg dialog{platform};
};

TEST_F(Startup, LaysOutTheWindowWithoutAnUpdateServer) {
  Install(true);
  ASSERT_EQ(dialog.OnInitDialog(), 1);

  const fake::FakeWindow& window = platform.window;
  EXPECT_EQ(window.caption, Gbk("雾港"));
  EXPECT_EQ(window.icon, 128);
  EXPECT_EQ(window.placements.at(controls::Background).rect, (platform::Rect{0, 0, 1034, 686}));
  EXPECT_EQ(window.placements.at(controls::NewsPanel).rect, (platform::Rect{374, 198, 374, 198}));
  EXPECT_EQ(window.placements.at(controls::StatusLabel).rect, (platform::Rect{430, 542, 640, 557}));
  EXPECT_FALSE(window.placements.at(2070).visible);
  ASSERT_TRUE(window.progressSetup.has_value());
  EXPECT_EQ(window.progressSetup->background, 0x1D050Eu);
  EXPECT_EQ(window.progressSetup->bar, 0x0AF0FAu);
  EXPECT_EQ(window.createdButtons, (std::vector<int>{2021, 2038, 2077, 2031}));
  EXPECT_EQ(window.buttonImages.at(2021), (fake::ButtonImages{2021, 2022, 2023}));
  EXPECT_EQ(window.buttonImages.at(2077), (fake::ButtonImages{2077, 2077, 2077}));
  EXPECT_EQ(window.buttonImages.at(2031), (fake::ButtonImages{2600, 2600, 2600}));
  EXPECT_EQ(window.placements.at(2031).rect, (platform::Rect{426, 564, 942, 584}));
  EXPECT_EQ(window.labelColours.at(controls::StatusLabel), 0xFFFFFFu);
  EXPECT_EQ(window.labelFonts.at(controls::PercentLabel).weight, 80);
  EXPECT_EQ(window.labelColours.at(controls::CurrentVersionLabel), 0x31B7FFu);
  EXPECT_EQ(window.labelFonts.at(controls::LatestVersionLabel).face, Gbk("宋体"));
  EXPECT_EQ(window.labelFonts.at(controls::LatestVersionLabel).height, 13);
  EXPECT_EQ(window.labelFonts.at(controls::LatestVersionLabel).weight, 100);
  EXPECT_EQ(window.LabelText(controls::CurrentVersionLabel), Gbk("当前版本v1.0.10"));
  EXPECT_EQ(window.LabelText(controls::LatestVersionLabel), Gbk("最新版本v.."));
  EXPECT_EQ(window.LabelText(controls::PercentLabel), "0%");
  EXPECT_EQ(platform.uiThread.TimerPeriod(kStatusTimer), 100);
  EXPECT_TRUE(platform.webPanel.navigations.empty());
  EXPECT_FALSE(Dialog().needFullInstall);
  EXPECT_EQ(Dialog().LoginServer, "7");
}

TEST_F(Startup, MissingOrUnreadableVersionDocumentIsFatal) {
  EXPECT_THROW(dialog.OnInitDialog(), platform::ExitRequested);
  ox_base::oxBaseExit();  // the program initialises the base library once
  // Stored form, but the element holds markup without a complete child.
  dir.Write("updatecfg.xml", Base64Encode("<GameVersion MainVersion=\"1\"><x></GameVersion>"));
  EXPECT_THROW(dialog.OnInitDialog(), platform::ExitRequested);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>(2, Gbk("读取本地更新文件错误，请下载紧急更新文件！")));
  EXPECT_EQ(platform.system.ExitCodes(), (std::vector<int>{0, 0}));
  EXPECT_FALSE(platform.uiThread.IsTimerRunning(kStatusTimer));
}

TEST_F(Startup, APlainXmlVersionDocumentIsRefusedAndTheLogSaysHowToStoreIt) {
  dir.Write("updatecfg.xml", "<?xml version=\"1.0\"?>\n<GameVersion MainVersion=\"1\" PackageCode=\"0001\">"
                             "</GameVersion>\n");
  EXPECT_THROW(dialog.OnInitDialog(), platform::ExitRequested);
  EXPECT_NE(FailureLog().find("updatecfg.xml: plain XML: the launcher reads it in its stored (Base64) form; store it "
                              "with farcfg encode"),
            std::string::npos)
      << FailureLog();
}

TEST_F(Startup, ClientPresentRunsThePatchUpdateAndShowsTheLatestVersion) {
  PublishTwoVersions();
  Install(true);
  dir.Write("cfg.ini", "[Startup Options]\nSetUpName=fog_web01.tmp\n");
  dir.Write("QZ_game.pkg", "pkg");
  ASSERT_EQ(dialog.OnInitDialog(), 1);
  ASSERT_TRUE(WaitForDialogWorker());
  EXPECT_NE(ReadVersionDocument().find("ForceUpdateVersion=\"1\""), std::string::npos) << ReadVersionDocument();

  EXPECT_EQ(site.Hits("/servercfg.xml"), 1);
  EXPECT_FALSE(Dialog().needFullInstall);
  EXPECT_TRUE(platform.webPanel.navigations.empty()) << "the worker never touches the window";

  // The next tick shows what waited for the document.
  ASSERT_TRUE(platform.uiThread.FireTimer(dialog, kStatusTimer));
  EXPECT_EQ(platform.webPanel.navigations, std::vector<std::string>{"http://news.invalid/?pos=web01"});
  EXPECT_EQ(platform.window.LabelText(controls::LatestVersionLabel), Gbk("最新版本v1.3.14"));
  EXPECT_EQ(platform.window.LabelText(controls::StatusLabel), Gbk("更新完成"));
  platform.uiThread.DeliverPosted(dialog);
  EXPECT_EQ(platform.window.LabelText(controls::CurrentVersionLabel), Gbk("当前版本v1.3.14"));
}

TEST_F(Startup, ClientMissingRunsTheFullInstall) {
  PublishFullPackage({{"client.exe", "client"}});
  Install(false);
  ASSERT_EQ(dialog.OnInitDialog(), 1);
  ASSERT_TRUE(WaitForDialogWorker());
  EXPECT_TRUE(Dialog().needFullInstall);
  EXPECT_EQ(dir.Read("client.exe"), "client");
}

TEST_F(Startup, AnUnfinishedFullInstallIsFinishedWhateverFilesAreThere) {
  PublishFullPackage({{"client.exe", "whole client"}, {"data/base.dat", "base"}});
  Install(true);
  dir.Write("client.exe", "half written");
  dir.Write("farLaunch.fullinstall", site.Url("/full.zip"));
  ASSERT_EQ(dialog.OnInitDialog(), 1);
  ASSERT_TRUE(WaitForDialogWorker());
  EXPECT_TRUE(Dialog().needFullInstall);
  EXPECT_EQ(dir.Read("client.exe"), "whole client");
  EXPECT_EQ(dir.Read("data/base.dat"), "base");
  EXPECT_FALSE(dir.Has("farLaunch.fullinstall"));
}

TEST_F(Startup, PackageFileWithoutIniWritesAnEmptyIni) {
  Install(true);
  dir.Write("QZ_game.pkg", "pkg");
  ASSERT_EQ(dialog.OnInitDialog(), 1);
  EXPECT_EQ(Dialog().ForceUpdateVersion, 1);
  EXPECT_TRUE(dir.Has("rh_game.ini"));
  EXPECT_EQ(dir.Read("rh_game.ini").find("ForceUpdateVersion"), std::string::npos);
}

TEST_F(Startup, CrashDumpIsHandledOnlyWithoutAnAreaNameOnceTheDocumentIsRead) {
  PublishTwoVersions();
  Install(true);
  dir.Write("rh_game.ini", "[farLaunch]\nAraeName=north\nForceUpdateVersion=1\n");
  // Too large to be sent: handling it removes it.
  dir.Write("game.dmp", std::string(150001, 'd'));
  ASSERT_EQ(dialog.OnInitDialog(), 1);
  ASSERT_TRUE(WaitForDialogWorker());
  ASSERT_TRUE(platform.uiThread.FireTimer(dialog, kStatusTimer));
  EXPECT_TRUE(dir.Has("game.dmp"));

  ox_base::oxBaseExit();  // the program initialises the base library once
  CfarLaunchDlg second(platform);
  dir.Write("rh_game.ini", "[farLaunch]\nForceUpdateVersion=1\n");
  ASSERT_EQ(second.OnInitDialog(), 1);
  ASSERT_TRUE(WaitUntil([&] { return !second.State().progress.workerRunning; }));
  EXPECT_TRUE(dir.Has("game.dmp")) << "the upload waits for the document's server";
  ASSERT_TRUE(platform.uiThread.FireTimer(second, kStatusTimer));
  EXPECT_TRUE(WaitUntil([&] { return !dir.Has("game.dmp"); }));
}

TEST_F(Startup, TheWindowIsReadyBeforeTheServerAnswersAndItsCloseButtonIsAnswered) {
  auto silent = std::make_unique<SilentServer>();
  installed.UpdateServerAddr = silent->Url("/servercfg.xml");
  Install(true);
  dir.Write("game.dmp", std::string(150001, 'd'));
  ASSERT_EQ(dialog.OnInitDialog(), 1);

  EXPECT_TRUE(Dialog().progress.workerRunning) << "the fetch waits on the worker";
  EXPECT_EQ(platform.window.LabelText(controls::StatusLabel), Gbk("获取服务器配置档中"));
  EXPECT_EQ(platform.window.LabelText(controls::CurrentVersionLabel), Gbk("当前版本v1.0.10"));
  ASSERT_TRUE(platform.uiThread.FireTimer(dialog, kStatusTimer));
  EXPECT_EQ(platform.window.LabelText(controls::LatestVersionLabel), Gbk("最新版本v.."));
  EXPECT_TRUE(platform.webPanel.navigations.empty());
  EXPECT_THROW(dialog.OnCommand(controls::CloseButton), platform::ExitRequested);

  silent.reset();  // the stalled fetch fails
  ASSERT_TRUE(WaitUntil([this] { return !Dialog().progress.workerRunning; }));
  EXPECT_TRUE(dir.Has("game.dmp")) << "no document read: the dump stays for the next start";
}

TEST_F(Startup, PageEventsPlaceThePanelAndReadItsText) {
  Install(true);
  ASSERT_EQ(dialog.OnInitDialog(), 1);
  dialog.OnMessage(WM_DOWNLOAD_PROGRESS, 0, 37);
  EXPECT_EQ(platform.window.LabelText(controls::PercentLabel), "37%");

  platform.webPanel.LoadPage(dialog, "欢迎");
  EXPECT_EQ(platform.window.placements.at(controls::NewsPanel).rect, (platform::Rect{338, 162, 982, 534}));
  EXPECT_TRUE(platform.window.placements.at(controls::NewsPanel).visible);

  EXPECT_THROW(platform.webPanel.LoadPage(dialog, "登录 RunClient[[u;s;1;2;雾港一区;10.0.0.5;7000;p;q;r;t;c;3]]"),
               platform::ExitRequested);
  ASSERT_EQ(platform.shell.Starts().size(), 1u);
  EXPECT_NE(platform.shell.Starts()[0].parameters.find(";areaname=" + Gbk("雾港一区") + ";"), std::string::npos);
}

TEST_F(Startup, ADownloadsPercentageStandsBesideTheFileBeingFetched) {
  Dialog().progress.AnnounceDownload("patch-0002.zip", 1, 2);
  dialog.OnMessage(WM_DOWNLOAD_PROGRESS, 0, 100);
  // The next file, before any tick of the timer has shown it.
  Dialog().progress.AnnounceDownload("patch-0003.zip", 2, 2);
  dialog.OnMessage(WM_DOWNLOAD_PROGRESS, 0, 37);
  EXPECT_EQ(platform.window.LabelText(controls::StatusLabel), Gbk("正在下载文件:patch-0003.zip 2/2"));
  EXPECT_EQ(platform.window.LabelText(controls::PercentLabel), "37%");
}

TEST_F(Startup, EndingAtCompletionStillLaunchesFromTheFirstPageLoad) {
  Install(true);
  EndPolicy ends;
  ends.exitOnFinish = true;
  CfarLaunchDlg endsAtFinish(platform, ends);
  endsAtFinish.State().pageUrl = "http://news.invalid/?pos=tag";
  endsAtFinish.State().LoginServer = "7";
  endsAtFinish.State().progress.completion = Finished;
  endsAtFinish.OnTimer(kStatusTimer);
  endsAtFinish.OnTimer(kStatusTimer);
  EXPECT_TRUE(platform.system.ExitCodes().empty()) << "ended before the page was read";

  EXPECT_THROW(platform.webPanel.LoadPage(endsAtFinish, "x ServerBackUrl{{http://back.invalid/}} "
                                                        "RunClient[[u;s;1;2;area;10.0.0.5;7000;p;q;r;t;c;3]]"),
               platform::ExitRequested);
  ASSERT_EQ(platform.shell.Starts().size(), 1u);
  EXPECT_EQ(platform.shell.Starts()[0].program, ".\\client.exe");
  EXPECT_NE(platform.shell.Starts()[0].parameters.find(";ip=10.0.0.5;port=7000;"), std::string::npos);
  EXPECT_TRUE(platform.webPanel.navigations.empty()) << "the finished update ignores the back address";
}

TEST_F(Startup, AWorkersCompletionIsShownWhenItsWakeUpArrivesNotAtTheNextTick) {
  Install(true);
  CfarLaunchDlg dialog(platform, EndPolicy());
  dialog.State().progress.completion = Finished;
  dialog.OnMessage(WM_UPDATE_COMPLETED, 0, 0);
  EXPECT_EQ(platform.window.LabelText(1007), Gbk("更新完成"));
  EXPECT_EQ(platform.window.LabelText(1004), "100%");
  EXPECT_TRUE(dialog.State().updateFinished);
  EXPECT_EQ(dialog.State().progress.completion.load(), Pending) << "the next tick shows nothing twice";
}

TEST(WindowManagerClose, EndsWithoutTheCleanUp) {
  GameDirectory dir;
  LocalVersion installed;
  dir.Write("updatecfg.xml", StoredVersionDocument(installed));
  dir.Write("tmpFile0", "aside");
  fake::FakePlatform platform;
  platform.closeCode = 0;
  CfarLaunchApp app(platform, EndPolicy());
  EXPECT_THROW(app.InitInstance(), platform::ExitRequested);
  EXPECT_EQ(platform.runs, 1);
  EXPECT_EQ(platform.system.ExitCodes(), std::vector<int>{0});
  EXPECT_TRUE(dir.Has("tmpFile0"));
}

}  // namespace
