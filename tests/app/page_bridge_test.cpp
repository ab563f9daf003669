// The news page's requests: parking a back-address request while the
// update runs, and launching the game client from a launch record.
#include "app/page_bridge.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "frontends/console/console.h"
#include "frontends/console/process_shell.h"
#include "update/chain/install_item.h"
#include "update/update_fixture.h"

namespace {

const char* const kRecord = "alice;SN1;42;7;area;10.0.0.5;7000;http://pay/;S;Q;10.0.0.6;http://client/;9";
const char* const kParameters =
    "ur;ip=10.0.0.5;port=7000;areaname=area;tx_ip=10.0.0.6;LT=7;UNAME=alice;SERIAL=SN1;UID=42;SERVERID=7;"
    "SERVERNAME=area;PayUrl=http://pay/;Server=S;Qid=Q;ClientUrl=http://client/;CurServerID=9";

class PageBridge : public UpdateFixture {
 protected:
  PageBridge() {
    state.LoginServer = "7";
    state.pageUrl = "http://news.invalid/?pos=tag";
  }
  void Handle(const std::string& text) { HandlePageRequest(state, platform, text); }
  bool Launched() const { return !platform.shell.Starts().empty(); }
};

TEST_F(PageBridge, LaunchRecordStartsTheClientAndEnds) {
  dir.Write("tmpFile0", "aside");
  dir.Write("servercfg.xml", "stored");
  EXPECT_THROW(Handle(std::string("login ok RunClient[[") + kRecord + "]]"), platform::ExitRequested);

  ASSERT_EQ(platform.shell.Starts().size(), 1u);
  EXPECT_EQ(platform.shell.Starts()[0].program, ".\\client.exe");
  EXPECT_EQ(platform.shell.Starts()[0].parameters, kParameters);
  EXPECT_EQ(platform.system.ExitCodes(), std::vector<int>{0});
  EXPECT_TRUE(dir.Has("tmpFile0")) << "no journal names it: not the launcher's to delete";
  EXPECT_FALSE(dir.Has("servercfg.xml"));
  EXPECT_FALSE(state.updateFinished) << "a launch alone does not wait for the update";
}

TEST_F(PageBridge, AClientThatCannotBeStartedIsAFailure) {
  OpenTheFailureLog();
  state.ends.failureExitCode = 1;
  platform.shell.SetResult(false);
  EXPECT_THROW(Handle(std::string("login ok RunClient[[") + kRecord + "]]"), platform::ExitRequested);
  EXPECT_EQ(platform.system.ExitCodes(), std::vector<int>{1});
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk("游戏客户端无法启动：refused by the test")});
  EXPECT_NE(FailureLog().find("game client (.\\client.exe): refused by the test"), std::string::npos) << FailureLog();
}

TEST_F(PageBridge, ALaunchDuringAnUnpackIsParkedUntilItsEntryIsRecorded) {
  dir.Write("servercfg.xml", "stored");
  dir.Write("farLaunch.journal", "farLaunch journal 1\ncode 0011\n");
  state.progress.workerRunning = true;
  ASSERT_TRUE(state.progress.BeginUnpacking(Unpacking::Archive));
  Handle(std::string("login ok RunClient[[") + kRecord + "]]");
  EXPECT_FALSE(Launched()) << "the window's thread does not wait";
  EXPECT_EQ(platform.window.LabelText(1007), Gbk("正在安装更新，完成后启动游戏"));
  EXPECT_TRUE(dir.Has("servercfg.xml")) << "nothing is cleaned up under a running unpack";
  EXPECT_FALSE(state.progress.cancelInstall) << "the unpack is not stopped, only waited for";
  state.progress.EndUnpacking();
  StartParkedLaunch(state, platform);
  EXPECT_FALSE(Launched()) << "the entry is not recorded yet";
  std::filesystem::remove(dir.Path() / "farLaunch.journal");
  EXPECT_THROW(StartParkedLaunch(state, platform), platform::ExitRequested);
  state.progress.workerRunning = false;
  EXPECT_TRUE(Launched());
  EXPECT_EQ(platform.shell.Starts()[0].parameters, kParameters);
  EXPECT_FALSE(state.progress.BeginUnpacking(Unpacking::Archive)) << "no unpack starts under the launch";
}

TEST_F(PageBridge, ALaunchDuringADownloadKeepsWhatIsRecordedAndPutsBackTheEntryUnderWay) {
  OpenTheFailureLog();
  dir.Write("readme.txt", "readme 10");
  std::map<std::string, std::string> before = Tree(dir.Path());
  dir.Write("client.zip", MakeZip({{"readme.txt", "readme 11"}, {"added.txt", "a"}}));
  UpdateFileItem patch;
  patch.Type = "normal";
  // The entry's first archive is in; its next item is downloading.
  PatchTransaction underWay("0011");
  ASSERT_EQ(InstallItem(state, patch, "client.zip", underWay).outcome, ArchiveOutcome::Installed);

  EXPECT_THROW(Handle(std::string("login ok RunClient[[") + kRecord + "]]"), platform::ExitRequested);
  EXPECT_TRUE(Launched());
  std::map<std::string, std::string> after = Tree(dir.Path());
  after.erase("farLaunch.log");
  before.erase("farLaunch.log");
  EXPECT_EQ(after, before);
  EXPECT_NE(FailureLog().find("the update to 0011: the game was started before it finished; its files were put back"),
            std::string::npos)
      << FailureLog();
}

TEST_F(PageBridge, RequestsCountOnlyAfterTheFirstCharacter) {
  Handle(std::string("RunClient[[") + kRecord + "]] RunClient");
  Handle(std::string("ServerBackUrl{{http://elsewhere/}} ServerBackUrl"));
  Handle("just news");
  Handle("");
  EXPECT_FALSE(Launched());
  EXPECT_TRUE(platform.webPanel.navigations.empty());
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(PageBridge, RecordLengthRules) {
  // Twelve fields: the version-error message, and the launcher stays.
  Handle("xRunClient[[a;b;c;d;e;1.2.3.4;80;h;i;j;k;l]]");
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk("farLaunch.exe版本错误，请在官网重新下载！！！")});
  EXPECT_FALSE(Launched());

  // A trailing ";" adds no field; an empty record and markers out of order
  // do nothing.
  Handle("xRunClient[[a;b;c;d;e;1.2.3.4;80;h;i;j;k;l;]]");
  Handle("xRunClient[[]]");
  Handle("xRunClient]]a;b;c;d;e;1.2.3.4;80;h;i;j;k;l;m[[");
  EXPECT_EQ(BoxTexts().size(), 2u);
  EXPECT_FALSE(Launched());

  // Fourteen fields: the first thirteen are used.
  EXPECT_THROW(Handle(std::string("xRunClient[[") + kRecord + ";extra]]"), platform::ExitRequested);
  EXPECT_EQ(platform.shell.Starts().at(0).parameters, kParameters);
}

TEST_F(PageBridge, EmptyAddressOrPortStopsSilentlyWithoutShiftingFields) {
  Handle("xRunClient[[a;b;c;d;e;;80;h;i;j;k;l;m]]");
  Handle("xRunClient[[a;b;c;d;e;1.2.3.4;;h;i;j;k;l;m]]");
  EXPECT_FALSE(Launched());
  EXPECT_TRUE(BoxTexts().empty());

  EXPECT_THROW(Handle("xRunClient[[;;;;;1.2.3.4;80;;;;;;;]]"), platform::ExitRequested);
  EXPECT_EQ(platform.shell.Starts().at(0).parameters,
            "ur;ip=1.2.3.4;port=80;areaname=;tx_ip=;LT=7;UNAME=;SERIAL=;UID=;SERVERID=;SERVERNAME=;PayUrl=;"
            "Server=;Qid=;ClientUrl=;CurServerID=");
}

TEST_F(PageBridge, BackAddressRequestIsParkedAndReplayedAtCompletion) {
  const std::string first = std::string("xServerBackUrl{{}} RunClient[[") + kRecord + "]]";
  Handle(first);
  EXPECT_EQ(platform.webPanel.navigations, std::vector<std::string>{"http://news.invalid/?pos=tag"});
  EXPECT_FALSE(Launched());

  const std::string second = std::string("yServerBackUrl{{http://back/}} RunClient[[") + kRecord + "]]";
  Handle(second);
  EXPECT_EQ(platform.webPanel.navigations.back(), "http://back/");
  EXPECT_EQ(state.pendingWebRequest, second);

  state.progress.completion = Finished;
  EXPECT_THROW(OnStatusTimer(state, platform, [this](const std::string& text) { Handle(text); }),
               platform::ExitRequested);
  EXPECT_TRUE(state.updateFinished);
  EXPECT_EQ(platform.webPanel.navigations.size(), 2u) << "the replay does not navigate again";
  EXPECT_EQ(platform.shell.Starts().at(0).parameters, kParameters);
}

TEST_F(PageBridge, BackAddressAloneIsIgnoredOnceFinished) {
  state.updateFinished = true;
  Handle("xServerBackUrl{{http://back/}}");
  EXPECT_TRUE(platform.webPanel.navigations.empty());
  EXPECT_TRUE(state.pendingWebRequest.empty());
}

// The shell of the console front end, to start a real stand-in client.
class RealShellPlatform : public fake::FakePlatform {
 public:
  platform::Shell& GetShell() override { return realShell; }
  frontends::console::Console console{stderr, false};
  frontends::console::ProcessShell realShell{console, 936};
};

TEST(ClientLaunch, TheStandInClientReceivesTheParameterStringAsOneArgument) {
  GameDirectory dir;
  dir.Write("client.exe", "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > args.txt\n");
  chmod((dir.Path() / "client.exe").c_str(), 0755);
  RealShellPlatform platform;
  LauncherState state;
  state.LoginServer = "0";
  const std::string record = "u;s;1;2;" + Gbk("雾港一区") + ";10.0.0.5;7000;p;q;r;t;c;3";

  EXPECT_THROW(HandlePageRequest(state, platform, "xRunClient[[" + record + "]]"), platform::ExitRequested);

  ASSERT_TRUE(WaitUntil([&] { return dir.Read("args.txt").find('\n', 2) != std::string::npos; }));
  EXPECT_EQ(dir.Read("args.txt"),
            "1\nur;ip=10.0.0.5;port=7000;areaname=雾港一区;tx_ip=t;LT=0;UNAME=u;SERIAL=s;UID=1;SERVERID=2;"
            "SERVERNAME=雾港一区;PayUrl=p;Server=q;Qid=r;ClientUrl=c;CurServerID=3\n");
}

}  // namespace
