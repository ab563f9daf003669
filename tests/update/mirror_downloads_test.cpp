// Files of the site from the site itself or any mirror: each file moves on
// to the next source at once when one fails (only the last source is
// retried), a source that served wrong bytes is
// asked only where every other source failed, and a file fails only when
// every source did.
#include <gtest/gtest.h>

#include "support/loopback_socket.h"
#include "support/range_http_server.h"
#include "support/recorded_failure_log.h"
#include "support/recording_http_server.h"
#include "support/temp_dir.h"
#include "trust/sha256.h"
#include "update/site/mirror_downloads.h"

namespace {

using namespace std::chrono_literals;

std::string Sha256Of(const std::string& bytes) {
  Sha256 hash;
  hash.Update(bytes);
  return hash.FinishHex();
}

class MirrorDownloads : public ::testing::Test {
 protected:
  MirrorDownloads() { options.retry = RetryPolicy::None(); }
  ~MirrorDownloads() override { close(closedFd); }

  SiteFile File(const std::string& name, const std::string& content) const {
    return SiteFile{"objects/" + name, (dir.Path() / name).string(), {Sha256Of(content), content.size()}};
  }
  static std::string Root(const RecordingHttpServer& server) { return server.Url("/game/"); }

  RecordedFailureLog log;
  TempDir dir;
  ParallelDownloadOptions options;
  RecordingHttpServer site;
  RecordingHttpServer notFound;
  RecordingHttpServer good;
  // Bound, never listening: connections to it are refused.
  int closedPort = 0;
  int closedFd = BindLoopbackSocket(-1, closedPort);
  std::string closed = "http://127.0.0.1:" + std::to_string(closedPort) + "/game/";
};

TEST_F(MirrorDownloads, EachFileComesFromTheFirstSourceThatHasIt) {
  good.Put("/game/objects/a", "alpha");
  good.Put("/game/objects/b", "bravo");
  site.Put("/game/objects/a", "alpha");
  std::string root;
  ASSERT_TRUE(SiteSources::SiteRootOf(site.Url("/game/objects/"), root));
  EXPECT_EQ(root, Root(site));
  EXPECT_FALSE(SiteSources::SiteRootOf(site.Url("/game/objs/"), root));

  SiteSources sources(root, closed + ";ftp://127.0.0.1/game/;" + Root(notFound) + ";;" + good.Url("/game"));
  const std::vector<SiteFileResult> results = sources.Download({File("a", "alpha"), File("b", "bravo")}, options);
  ASSERT_EQ(results.size(), 2u);
  EXPECT_TRUE(results[0].result) << results[0].result.reason;
  EXPECT_TRUE(results[1].result) << results[1].result.reason;
  EXPECT_EQ(results[0].address, site.Url("/game/objects/a"));
  EXPECT_EQ(results[1].address, good.Url("/game/objects/b"));
  EXPECT_EQ(ReadFile(dir.Path() / "a") + ReadFile(dir.Path() / "b"), "alphabravo");
  EXPECT_EQ(notFound.Hits("/game/objects/b"), 1);
  EXPECT_EQ(notFound.Hits("/game/objects/a") + good.Hits("/game/objects/a"), 0) << "the site had it";

  const std::string text = log.Text();
  for (const std::string& line :
       {"the site " + Root(site) + " (" + site.Url("/game/objects/b") + "): HTTP 404",
        "mirror " + closed + " (" + closed + "objects/b): ",
        std::string("mirror ftp://127.0.0.1/game/: not an http or https address"),
        "mirror " + Root(notFound) + " (" + notFound.Url("/game/objects/b") + "): HTTP 404"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  }
}

TEST_F(MirrorDownloads, ASourceThatServedAWrongFileIsAskedOnlyWhereEveryOtherFailed) {
  for (const char* name : {"a", "b", "c"}) good.Put(std::string("/game/objects/") + name, name);
  site.Put("/game/objects/a", "A");
  site.Put("/game/objects/b", "b");
  site.Put("/game/objects/c", "c");
  site.Put("/game/objects/d", "d");
  // One transfer at a time: b is asked for after a came wrong.
  options.maxTransfers = 1;
  SiteSources sources(Root(site), Root(good));
  for (const std::vector<SiteFile>& call : {std::vector<SiteFile>{File("a", "a"), File("b", "b")}, {File("c", "c")}}) {
    for (const SiteFileResult& result : sources.Download(call, options)) {
      EXPECT_TRUE(result.result) << result.result.reason;
      EXPECT_EQ(result.address.rfind(Root(good), 0), 0u) << result.address;
    }
  }
  // What no other source has still comes from it.
  const std::vector<SiteFileResult> last = sources.Download({File("d", "d")}, options);
  EXPECT_TRUE(last[0].result) << last[0].result.reason;
  EXPECT_EQ(last[0].address, site.Url("/game/objects/d"));
  EXPECT_EQ(ReadFile(dir.Path() / "a") + ReadFile(dir.Path() / "b") + ReadFile(dir.Path() / "c"), "abc");
  EXPECT_EQ(site.Hits("/game/objects/b") + site.Hits("/game/objects/c"), 0);
  EXPECT_NE(log.Text().find("the site " + Root(site) + ": served a wrong file"), std::string::npos) << log.Text();
}

TEST_F(MirrorDownloads, ARefusedConnectionOrAStallMovesTheFileOnAtOnceAndMarksNoSource) {
  // Retries as a download has them by default.
  options.retry = RetryPolicy{};
  options.retry.firstPause = 10ms;
  options.stallLimit = 1s;
  RangeHttpServer stalling;
  const std::string x(300000, 'x');
  stalling.Put("/game/objects/x", x);
  stalling.Put("/game/objects/z", "zulu");
  RangeHttpServer::Answer stall;
  stall.cutAfter = 100000;
  stall.stallAtCut = true;
  stalling.Queue("/game/objects/x", stall);
  good.Put("/game/objects/x", x);
  good.Put("/game/objects/w", "whiskey");
  const std::string mirror = stalling.Url("/game/");
  SiteSources sources(closed, mirror + ";" + Root(good));

  const std::vector<SiteFileResult> moved = sources.Download({File("x", x)}, options);
  EXPECT_TRUE(moved[0].result) << moved[0].result.reason;
  EXPECT_EQ(moved[0].address, good.Url("/game/objects/x"));
  EXPECT_EQ(stalling.Requests("/game/objects/x").size(), 1u) << "the stalled source is not asked again";
  EXPECT_EQ(good.Hits("/game/objects/x"), 1);
  EXPECT_TRUE(ReadFile(dir.Path() / "x") == x);

  // Neither source is bad: each is still asked before the next one.
  const std::vector<SiteFileResult> later = sources.Download({File("z", "zulu"), File("w", "whiskey")}, options);
  EXPECT_EQ(later[0].address, mirror + "objects/z");
  EXPECT_EQ(later[1].address, good.Url("/game/objects/w"));
  EXPECT_TRUE(later[0].result && later[1].result);
  const std::string text = log.Text();
  for (const char* name : {"x", "z", "w"}) {
    EXPECT_NE(text.find("the site " + closed + " (" + closed + "objects/" + name + "): "), std::string::npos) << text;
  }
  EXPECT_NE(text.find("mirror " + mirror + " (" + mirror + "objects/x): no data for 1 seconds after 100000 of 300000"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("served a wrong file"), std::string::npos) << text;
  EXPECT_EQ(Tree(dir.Path()).size(), 3u) << "no partial file is left";

  // A file's only source keeps its retries.
  RangeHttpServer busy;
  busy.Put("/game/objects/b", "bravo");
  RangeHttpServer::Answer unavailable;
  unavailable.status = 503;
  busy.Queue("/game/objects/b", unavailable);
  SiteSources only(busy.Url("/game/"), "");
  const std::vector<SiteFileResult> retried = only.Download({File("b", "bravo")}, options);
  EXPECT_TRUE(retried[0].result) << retried[0].result.reason;
  EXPECT_EQ(retried[0].result.attempts, 2);
  EXPECT_EQ(busy.Requests("/game/objects/b").size(), 2u);
}

TEST_F(MirrorDownloads, AFileFailsOnlyWhenEverySourceFailedForIt) {
  good.Put("/game/objects/a", "alpha, longer");
  SiteSources sources(Root(notFound), closed + ";" + Root(good));
  const std::vector<SiteFileResult> results = sources.Download({File("a", "alpha")}, options);
  EXPECT_FALSE(results[0].result);
  EXPECT_EQ(results[0].address, good.Url("/game/objects/a"));
  EXPECT_TRUE(results[0].result.contentMismatch) << results[0].result.reason;
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "a"));
}

}  // namespace
