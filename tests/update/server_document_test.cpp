// What counts as a fetched server document: only a document that loads and
// lists versions, not too large, stored in full. Anything else is a failed
// fetch that the timer tries again.
#include <sys/resource.h>

#include <csignal>

#include "update/update_fixture.h"

namespace {

class ServerDocumentFetch : public UpdateFixture {
 protected:
  void SetUp() override {
    OpenTheFailureLog();
    Install(true);
  }

  // Serves `body` as the server document and starts the update on it.
  bool StartOn(const std::string& body) {
    site.Put("/servercfg.xml", body, "text/html");
    state.UpdateServerAddr = site.Url("/servercfg.xml");
    return StartUpdateOf(state, platform);
  }

  // The failed fetch goes the retry path and says why.
  void ExpectRetriedBecause(const std::string& reason) {
    EXPECT_EQ(state.progress.stage.load(), ServerConfigRetry);
    EXPECT_FALSE(state.progress.workerRunning);
    EXPECT_TRUE(state.entries.empty());
    EXPECT_TRUE(platform.webPanel.navigations.empty());
    EXPECT_NE(FailureLog().find("server document (" + site.Url("/servercfg.xml") + "): " + reason), std::string::npos)
        << FailureLog();
  }
};

TEST_F(ServerDocumentFetch, APortalsPageIsNoServerDocument) {
  EXPECT_FALSE(StartOn("<html><head><title>Hotel WLAN</title></head><body><a href=\"/login\">Log in</a></body></html>"));
  ExpectRetriedBecause("the answer holds none of the server document's keys");
}

TEST_F(ServerDocumentFetch, AnEmptyAnswerIsNoServerDocument) {
  EXPECT_FALSE(StartOn(""));
  ExpectRetriedBecause("the answer holds none of the server document's keys");
}

TEST_F(ServerDocumentFetch, ADocumentWithoutVersionsCutsOffTheInstalledVersion) {
  ServerDocument document;
  document.site["WebAddr"] = "http://news.invalid/";
  document.site["UpdateBlockAddr"] = "http://download.invalid/";
  ASSERT_TRUE(StartOn(document.Text()));
  ASSERT_TRUE(WaitForWorker());
  EXPECT_EQ(state.progress.stage.load(), CannotUpdate);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk("处于截断版本请登录网站重新下载")});
  EXPECT_EQ(platform.shell.OpenedUrls(), std::vector<std::string>{"http://download.invalid/"});
  EXPECT_EQ(state.pageUrl, "http://news.invalid/");
}

// Shapes the tree of the dialect does not load: the flat scan reads them.
TEST_F(ServerDocumentFetch, SelfClosingItemsCommentsAndTextInItemsAreReadAsBefore) {
  site.Put("/p.zip", MakeZip({{"data/a.dat", "patched"}}));
  const std::string item = "<File Type=\"normal\" TargetFileName=\"p.zip\" SourceFileAddr=\"" + site.Url("/p.zip");
  ASSERT_TRUE(StartOn("<?xml version=\"1.0\"?>\n<!-- the site -->\n"
                      "<GameVersion MainVersion=\"1\" SubVersion=\"0\" FileVersion=\"10\" PackageCode=\"0010\">"
                      "</GameVersion>\n<GameVersion MainVersion=\"1\" SubVersion=\"1\" FileVersion=\"11\" "
                      "PackageCode=\"0011\">\n" + item + "\" />\n</GameVersion>\n"
                      "<GameVersion MainVersion=\"1\" SubVersion=\"1\" FileVersion=\"12\" PackageCode=\"0012\">\n" +
                      item + "\">the same patch again</File>\n</GameVersion>\n<Site WebAddr=\"http://news.invalid/\" />\n"));
  ASSERT_TRUE(WaitForCompletion());
  EXPECT_EQ(state.progress.completion.load(), Finished);
  EXPECT_EQ(site.Hits("/p.zip"), 2);
  EXPECT_EQ(dir.Read("data/a.dat"), "patched");
  EXPECT_NE(ReadVersionDocument().find("PackageCode=\"0012\""), std::string::npos);
  EXPECT_EQ(state.pageUrl, "http://news.invalid/");
}

TEST_F(ServerDocumentFetch, AnAnswerOfMoreThanFourMebibytesIsRefused) {
  EXPECT_FALSE(StartOn(std::string(4 * 1024 * 1024 + 1, ' ')));
  ExpectRetriedBecause("larger than 4194304 bytes (4194305 announced)");
}

TEST_F(ServerDocumentFetch, ADocumentThatCannotBeStoredIsAFailedFetch) {
  ServerDocument document;
  document.versions = {ServerVersion{"1", "0", "10", "0010", {}}};
  document.site["WebAddr"] = std::string(3000, 'w');
  const std::string text = document.Text();
  // Room for the download, none for its longer stored form.
  rlimit previous{};
  getrlimit(RLIMIT_FSIZE, &previous);
  const auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = previous;
  limited.rlim_cur = text.size() + 10;
  setrlimit(RLIMIT_FSIZE, &limited);
  const bool started = StartOn(text);
  setrlimit(RLIMIT_FSIZE, &previous);
  std::signal(SIGXFSZ, previousSignal);

  EXPECT_FALSE(started);
  ExpectRetriedBecause("servercfg.xml cannot be stored");
  EXPECT_NE(FailureLog().find("ERROR Base] OxFile: Saving servercfg.xml failed: writing failed: File too large"),
            std::string::npos)
      << FailureLog();
}

TEST_F(ServerDocumentFetch, OnlyARealDocumentWithoutTheInstalledVersionIsACutOff) {
  ServerDocument document;
  document.versions = {ServerVersion{"1", "0", "12", "0012", {}}};
  document.site["UpdateBlockAddr"] = "http://download.invalid/";
  ASSERT_TRUE(StartOn(document.Text()));
  ASSERT_TRUE(WaitForWorker());
  EXPECT_EQ(state.progress.stage.load(), CannotUpdate);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk("处于截断版本请登录网站重新下载")});
  EXPECT_NE(FailureLog().find("installed version 0010 (" + site.Url("/servercfg.xml") +
                              "): the server document does not list it any more"),
            std::string::npos)
      << FailureLog();
}

}  // namespace
