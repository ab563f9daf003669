// The patch update with the client present: entries newer than the
// installed package code are installed in document order.
#include <filesystem>
#include "support/program_bytes.h"

#include "update/site/update_documents.h"
#include "update/update_fixture.h"
#include "update/window_controls.h"

namespace {

using platform::WM_UPDATE_COMPLETED;

ServerVersion Version(const std::string& file, const std::string& code, std::vector<ServerItem> items = {}) {
  return ServerVersion{"1", "0", file, code, std::move(items)};
}

class NormalUpdate : public UpdateFixture {
 protected:
  ServerItem Patch(const std::string& name, const std::map<std::string, std::string>& files) {
    site.Put("/" + name, MakeZip(files));
    return ServerItem{"normal", name, site.Url("/" + name)};
  }

  // An update whose document names site `path` as its UpdateBlockAddr; what
  // `path` serves is fetched once, before the write-back, and not stored.
  void UpdateWithTheBlockAddress(const std::string& path) {
    ServerDocument document;
    document.versions = {Version("10", "0010"), Version("11", "0011", {Patch("p11.zip", {{"x.txt", "x"}})})};
    document.site["UpdateBlockAddr"] = site.Url(path);
    Publish(document);
    Install(true);
    ASSERT_TRUE(StartUpdateOf(state, platform));
    ASSERT_TRUE(WaitForCompletion());
    EXPECT_EQ(site.Hits(path), 1);
    EXPECT_FALSE(dir.Has("servercfg.xml"));
  }
};

TEST_F(NormalUpdate, InstallsEveryNewerEntryInOrderAndWritesTheNewestBack) {
  ServerDocument document;
  document.versions = {
      Version("10", "0010", {Patch("p10.zip", {{"old.txt", "never"}})}),
      Version("11", "0011", {Patch("p11.zip", {{"data/a.txt", "a from 11"}, {"b.txt", "b from 11"}})}),
      Version("12", "0012", {Patch("p12.zip", {{"data/a.txt", "a from 12"}})}),
  };
  document.site["WebAddr"] = "http://news.invalid/index.html";
  Publish(document);
  Install(true);
  dir.Write("b.txt", "b before");

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForCompletion());

  EXPECT_EQ(state.progress.completion.load(), Finished);
  ASSERT_TRUE(WaitUntil([this] {
    const std::vector<fake::PostedMessage> posted = platform.uiThread.PendingMessages();
    return !posted.empty() && posted.back().message == WM_UPDATE_COMPLETED;
  })) << "the worker wakes the window to show its end";
  EXPECT_EQ(state.pageUrl, "http://news.invalid/index.html");
  EXPECT_EQ(site.Hits("/p10.zip"), 0);
  EXPECT_EQ(site.Hits("/p11.zip"), 1);
  EXPECT_EQ(site.Hits("/p12.zip"), 1);
  EXPECT_EQ(dir.Read("data/a.txt"), "a from 12");
  EXPECT_EQ(dir.Read("b.txt"), "b from 11");
  // Each entry of an archive takes the next "tmpFile" number; the originals
  // wait there until the version is recorded, then they go.
  EXPECT_EQ(state.renameCounter, 3);
  for (const char* aside : {"tmpFile0", "tmpFile1", "tmpFile2"}) EXPECT_FALSE(dir.Has(aside)) << aside;

  const std::string written = ReadVersionDocument();
  EXPECT_NE(written.find("FileVersion=\"12\""), std::string::npos) << written;
  EXPECT_NE(written.find("PackageCode=\"0012\""), std::string::npos) << written;
  // No UpdateBlockAddr: the server-document address stays.
  EXPECT_NE(written.find(site.Url("/servercfg.xml")), std::string::npos) << written;
  for (const char* leftover : {"farLaunch.download.0011.1", "farLaunch.download.0012.1", "servercfg.xml"}) {
    EXPECT_FALSE(dir.Has(leftover)) << leftover;
  }

  DeliverPosted();
  EXPECT_EQ(platform.window.LabelText(controls::CurrentVersionLabel), Gbk("当前版本v1.0.12"));
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(NormalUpdate, UpdateBlockAddrOfAMovedDocumentBecomesTheServerAddressOnWriteBack) {
  ServerDocument moved;
  moved.versions = {Version("11", "0011")};
  site.Put("/moved.xml", moved.Text());
  UpdateWithTheBlockAddress("/moved.xml");
  EXPECT_EQ(state.UpdateServerAddr, site.Url("/moved.xml"));
  EXPECT_NE(ReadVersionDocument().find("UpdateServerAddr=\"" + site.Url("/moved.xml") + "\""), std::string::npos);
}

TEST_F(NormalUpdate, UpdateBlockAddrOfAWebPageLeavesTheServerAddressAndSaysWhy) {
  OpenTheFailureLog();
  site.Put("/blocked.html", "<html><body>Please download the new client</body></html>", "text/html");
  UpdateWithTheBlockAddress("/blocked.html");
  EXPECT_EQ(state.UpdateServerAddr, site.Url("/servercfg.xml"));
  EXPECT_NE(ReadVersionDocument().find("UpdateServerAddr=\"" + site.Url("/servercfg.xml") + "\""), std::string::npos);
  EXPECT_NE(FailureLog().find("UpdateBlockAddr (" + site.Url("/blocked.html") +
                              "): no server document a start would accept: the next start keeps " +
                              site.Url("/servercfg.xml")),
            std::string::npos)
      << FailureLog();
}

TEST_F(NormalUpdate, CutOffVersionSendsThePlayerToTheDownloadPage) {
  ServerDocument document;
  document.versions = {Version("11", "0011", {Patch("p11.zip", {{"x.txt", "x"}})})};
  document.site["UpdateBlockAddr"] = "http://download.invalid/";
  Publish(document);
  installed.PackageCode = "0009";
  Install(true);

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitUntil([this] { return !platform.shell.OpenedUrls().empty(); }));

  EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk("处于截断版本请登录网站重新下载")});
  EXPECT_EQ(platform.shell.OpenedUrls(), std::vector<std::string>{"http://download.invalid/"});
  EXPECT_EQ(site.Hits("/p11.zip"), 0);
  EXPECT_EQ(state.progress.completion.load(), Pending);
  Tick();
  EXPECT_EQ(platform.window.LabelText(controls::StatusLabel), Gbk("无法更新"));
  EXPECT_TRUE(platform.system.ExitCodes().empty()) << "the window waits";
}

TEST_F(NormalUpdate, CutOffVersionEndsTheRunWhenAskedToAfterTheMessage) {
  ServerDocument document;
  document.versions = {Version("11", "0011")};
  document.site["UpdateBlockAddr"] = "http://download.invalid/";
  Publish(document);
  installed.PackageCode = "0009";
  Install(true);
  state.ends.exitOnFinish = true;
  state.ends.failureExitCode = 1;

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_EQ(platform.system.WaitForExit(), 1);
  EXPECT_EQ(BoxTexts().size(), 1u);
  EXPECT_EQ(platform.shell.OpenedUrls().size(), 1u);
}

TEST_F(NormalUpdate, CutOffVersionOpensOnlyAWebPageInTheBrowser) {
  OpenTheFailureLog();
  ServerDocument document;
  document.versions = {Version("11", "0011")};
  document.site["UpdateBlockAddr"] = "file:///etc/passwd";
  Publish(document);
  installed.PackageCode = "0009";
  Install(true);
  state.ends.exitOnFinish = true;

  ASSERT_TRUE(StartUpdateOf(state, platform));
  platform.system.WaitForExit();
  EXPECT_EQ(BoxTexts().size(), 1u);
  EXPECT_TRUE(platform.shell.OpenedUrls().empty());
  EXPECT_NE(FailureLog().find("UpdateBlockAddr (file:///etc/passwd): not opened in the browser: only http and https"),
            std::string::npos)
      << FailureLog();
}

TEST_F(NormalUpdate, TypesDecideWhereItemsAreKept) {
  site.Put("/dat.bin", "package data");
  site.Put("/notes.txt", "release notes");
  ServerDocument document;
  document.versions = {
      Version("10", "0010"),
      Version("11", "0011",
              {ServerItem{"package", "dat.bin", site.Url("/dat.bin")},
               ServerItem{"notes", "notes.txt", site.Url("/notes.txt")}}),
  };
  Publish(document);
  Install(true);

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForCompletion());

  EXPECT_EQ(state.progress.completion.load(), Finished);
  EXPECT_EQ(site.Hits("/dat.bin"), 1);
  EXPECT_FALSE(dir.Has("_dat.dat"));  // removed by the clean-up after the write-back
  EXPECT_EQ(dir.Read("notes.txt"), "release notes");
  EXPECT_NE(ReadVersionDocument().find("PackageCode=\"0011\""), std::string::npos);
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(NormalUpdate, SchemesCompareWithoutLetterCaseAndHttpsIsFetched) {
  site.Put("/u.zip", MakeZip({{"upper.txt", "fetched"}}));
  const std::string upper = "HTTP" + site.Url("/u.zip").substr(4);
  // The update site speaks plain HTTP, so the TLS handshake fails: that the
  // item was tried over TLS is all this shows (no certificate is trusted).
  const std::string https = "https" + site.Url("/s.zip").substr(4);
  ServerDocument document;
  document.versions = {Version("10", "0010"),
                       Version("11", "0011", {ServerItem{"normal", "u.zip", upper}}),
                       Version("12", "0012", {ServerItem{"normal", "s.zip", https}})};
  Publish(document);
  Install(true);
  state.ends.failureExitCode = 1;

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForWorker());

  EXPECT_EQ(platform.system.ExitCodes(), std::vector<int>{1});
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk("下载失败！！请检查网络重新下载")});
  EXPECT_EQ(site.Hits("/u.zip"), 1);
  EXPECT_EQ(site.Hits("/s.zip"), 0) << "no plain request for the https address";
  // The run failed in 0012: the entry before it stays recorded.
  EXPECT_EQ(dir.Read("upper.txt"), "fetched");
  EXPECT_NE(ReadVersionDocument().find("PackageCode=\"0011\""), std::string::npos);
  EXPECT_EQ(state.progress.completion.load(), Pending);
}

class UnfetchedScheme : public NormalUpdate, public testing::WithParamInterface<const char*> {};

// An item that cannot be fetched is a failed download: nothing is recorded
// and nothing is reported as done.
TEST_P(UnfetchedScheme, FailsTheUpdateAtItsEntry) {
  site.Put("/first.zip", MakeZip({{"first.txt", "1"}}));
  const std::string address = GetParam();
  ServerDocument document;
  document.versions = {Version("10", "0010"),
                       Version("11", "0011", {ServerItem{"normal", "first.zip", site.Url("/first.zip")},
                                              ServerItem{"normal", "x.zip", address}})};
  Publish(document);
  Install(true);
  state.ends.failureExitCode = 1;

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForWorker());

  std::vector<std::string> expected;
  if (address.rfind("ftp:", 0) == 0 || address.rfind("FTP:", 0) == 0) expected.push_back(Gbk("ftp暂时没有开通"));
  expected.push_back(Gbk("下载失败！！请检查网络重新下载"));
  EXPECT_EQ(BoxTexts(), expected);
  EXPECT_EQ(platform.system.ExitCodes(), std::vector<int>{1});
  EXPECT_EQ(state.progress.completion.load(), Pending);
  EXPECT_FALSE(dir.Has("first.txt"));
  EXPECT_NE(ReadVersionDocument().find("PackageCode=\"0010\""), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(NormalUpdate, UnfetchedScheme,
                         testing::Values("ftp://127.0.0.1/x.zip", "FTP://127.0.0.1/x.zip", "gopher://127.0.0.1/x.zip",
                                         "x.zip", ""));

TEST_F(NormalUpdate, LauncherReplacedMidEntryFinishesItsEntryThenRestarts) {
  site.Put("/launcher.zip", MakeZip({{"farLaunch.exe", OwnProgramBytes("new launcher")}}));
  ServerDocument document;
  document.versions = {
      Version("10", "0010"),
      Version(
          "11", "0011",
          {Patch("first.zip", {{"first.txt", "1"}}), ServerItem{"farLaunch", "farLaunch", site.Url("/launcher.zip")},
           Patch("third.zip", {{"third.txt", "3"}})}),
      Version("12", "0012", {Patch("p12.zip", {{"twelve.txt", "12"}})}),
  };
  Publish(document);
  Install(true);
  dir.Write("farLaunch.exe", "old launcher");

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForCompletion());

  EXPECT_EQ(state.progress.completion.load(), LauncherReplaced);
  EXPECT_TRUE(state.selfUpdated);
  EXPECT_EQ(dir.Read("first.txt"), "1");
  EXPECT_EQ(dir.Read("farLaunch.exe"), OwnProgramBytes("new launcher"));
  const auto perms = std::filesystem::status(dir.Path() / "farLaunch.exe").permissions();
  EXPECT_NE(perms & std::filesystem::perms::owner_exec, std::filesystem::perms::none);
  EXPECT_FALSE(dir.Has("tmpUpdate0")) << "the old launcher goes once the version is recorded";
  EXPECT_EQ(dir.Read("third.txt"), "3") << "the entry recorded is the entry installed";
  EXPECT_EQ(site.Hits("/p12.zip"), 0);
  EXPECT_NE(ReadVersionDocument().find("PackageCode=\"0011\""), std::string::npos);

  platform.uiThread.StartTimer(kStatusTimer, kStatusTimerPeriodMs);
  EXPECT_THROW(Tick(), platform::ExitRequested);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk("farLaunch更新完成，请重新开启游戏！")});
  ASSERT_EQ(platform.shell.Starts().size(), 1u);
  EXPECT_EQ(platform.shell.Starts()[0].program, ".\\farLaunch.exe");
  EXPECT_EQ(platform.shell.Starts()[0].parameters, "");
  EXPECT_EQ(platform.system.ExitCodes(), std::vector<int>{0});
  EXPECT_FALSE(platform.uiThread.IsTimerRunning(kStatusTimer));
  EXPECT_FALSE(dir.Has("tmpUpdate0"));
}

TEST_F(NormalUpdate, DownloadAndInstallationFailuresEndTheLauncher) {
  site.Put("/broken.zip", "this is not a zip archive");
  state.ends.failureExitCode = 1;
  for (const std::string& path : {std::string("/missing.zip"), std::string("/broken.zip")}) {
    SCOPED_TRACE(path);
    ServerDocument document;
    document.versions = {Version("10", "0010"), Version("11", "0011", {ServerItem{"normal", "x.zip", site.Url(path)}})};
    Publish(document);
    Install(true);
    state.entries.clear();
    state.progress.completion = Pending;
    const size_t boxesBefore = BoxTexts().size();

    ASSERT_TRUE(StartUpdateOf(state, platform));
    ASSERT_TRUE(WaitUntil([&] { return platform.system.ExitCodes().size() == boxesBefore + 1; }));

    const std::string expected =
        path == "/missing.zip" ? "下载失败！！请检查网络重新下载" : "更新失败！！请重新更新！！！";
    EXPECT_EQ(BoxTexts().back(), Gbk(expected));
    EXPECT_EQ(platform.system.ExitCodes().back(), 1);
    EXPECT_FALSE(dir.Has("farLaunch.download.0011.1"));
    EXPECT_FALSE(dir.Has("servercfg.xml"));
    EXPECT_NE(ReadVersionDocument().find("PackageCode=\"0010\""), std::string::npos);
  }
}

TEST(VersionOrder, ComparesBytesAsUnsignedWithPrefixFirst) {
  EXPECT_TRUE(IsNewerPackage("0012", "0011"));
  EXPECT_FALSE(IsNewerPackage("0011", "0011"));
  EXPECT_FALSE(IsNewerPackage("10", "9"));  // no numeric reading
  EXPECT_TRUE(IsNewerPackage("0011a", "0011"));
  EXPECT_TRUE(IsNewerPackage("\xB0", "z"));  // high bytes sort last
}

}  // namespace
