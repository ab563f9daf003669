// Many files at once over a few kept-alive connections: each ends as a
// single download of it would (the same faults, the same files), a bad one
// fails alone, and a cancelled call leaves what arrived for the next one.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "http_test_peer.h"
#include "net/parallel_downloads.h"
#include "resume_cases.h"
#include "scripted_http_server.h"
#include "support/range_http_server.h"
#include "support/temp_dir.h"
#include "trust/tampering.h"

namespace fs = std::filesystem;

namespace {

using namespace resume_cases;
using namespace std::chrono_literals;

ParallelDownloadOptions Quick() {
  ParallelDownloadOptions options;
  options.stallLimit = 1s;
  options.retry.firstPause = 10ms;
  return options;
}

ParallelDownload Request(const std::string& url, const std::string& localPath, const std::string& content) {
  return ParallelDownload{url, localPath, ExpectedContent{Sha256Of(content), content.size()}};
}

TEST(ParallelDownloads, ManyFilesArriveOverAtMostFourKeptConnections) {
  RecordingHttpServer server;
  TempDir dir;
  std::vector<std::string> contents;
  std::vector<ParallelDownload> requests;
  std::uint64_t total = 0;
  for (std::size_t i = 0; i < 60; ++i) {
    contents.push_back(PatternBody(i * 997 % 20000));
    const std::string path = "/objects/" + std::to_string(i);
    server.Put(path, contents.back());
    requests.push_back(Request(server.Url(path), dir.File(std::to_string(i)), contents.back()));
    total += contents.back().size();
  }
  std::uint64_t arrived = 0;
  ParallelDownloadOptions options = Quick();
  options.onProgress = [&arrived](std::uint64_t bytes) { arrived = bytes; };

  const std::vector<DownloadResult> results = DownloadAll(requests, options);

  ASSERT_EQ(results.size(), requests.size());
  for (std::size_t i = 0; i < results.size(); ++i) {
    EXPECT_TRUE(results[i].ok) << i << ": " << results[i].reason;
    EXPECT_TRUE(ReadFile(dir.File(std::to_string(i))) == contents[i]) << i;
  }
  EXPECT_EQ(Tree(dir.Path()).size(), requests.size()) << "no partial file is left";
  EXPECT_EQ(arrived, total);
  std::set<int> connections;
  for (const httplib::Request& request : server.Requests()) {
    connections.insert(request.remote_port);
    EXPECT_EQ(request.version, "HTTP/1.1");
  }
  EXPECT_EQ(server.Requests().size(), requests.size());
  EXPECT_LE(connections.size(), 4u);
  EXPECT_GE(connections.size(), 2u) << "transfers run side by side";
}

TEST(ParallelDownloads, EachFaultEndsAsForASingleDownloadAllAtOnce) {
  RangeHttpServer server;
  TempDir dir;
  const std::vector<Case> cases = Cases();
  std::vector<ParallelDownload> requests;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const std::string path = "/case" + std::to_string(i);
    server.Put(path, kOld, cases[i].validators);
    for (const Answer& fault : cases[i].faults) server.Queue(path, fault);
    fs::create_directory(dir.File(std::to_string(i)));
    ParallelDownload request{server.Url(path), dir.File(std::to_string(i) + "/client.zip"), {}};
    // No size: a file that shrank is then found by the range it cannot serve.
    if (cases[i].hashed) request.expected.sha256 = Sha256Of(*cases[i].hashed);
    requests.push_back(request);
  }

  const std::vector<DownloadResult> results = DownloadAll(requests, Quick());

  ASSERT_EQ(results.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.name);
    EXPECT_EQ(results[i].ok, c.ok) << results[i].reason;
    if (c.result) {
      EXPECT_TRUE(ReadFile(requests[i].localPath) == *c.result);
      EXPECT_EQ(Tree(dir.File(std::to_string(i))).size(), 1u) << "only the finished file is left";
    } else {
      EXPECT_FALSE(fs::exists(requests[i].localPath));
    }
    std::vector<std::string> asked;
    for (const std::string& head : server.Requests("/case" + std::to_string(i))) asked.push_back(Asked(head));
    EXPECT_EQ(asked, c.asked);
    EXPECT_LE(server.BodyBytesSent("/case" + std::to_string(i)), c.bodyBytes);
  }
}

// A kept-alive connection has no connect of its own: a stall on it is not
// a failed connect to be run again as it was, from the first byte.
TEST(ParallelDownloads, ARetryAfterAStallOnAKeptConnectionAsksForTheRestOfTheKeptBytes) {
  RangeHttpServer server(RangeHttpServer::Connections::KeepAlive);
  TempDir dir;
  server.Put("/first", kShort);
  server.Put(kPath, kOld);
  Answer stall = Cut(kCut);
  stall.stallAtCut = true;
  Answer ignoring;
  ignoring.ignoreRange = true;
  server.Queue(kPath, stall);
  server.Queue(kPath, ignoring);
  ParallelDownloadOptions options = Quick();
  // One connection: the second file goes over the one the first came by.
  options.maxTransfers = 1;

  const std::vector<DownloadResult> results =
      DownloadAll({Request(server.Url("/first"), dir.File("first"), *kShort),
                   Request(server.Url(kPath), dir.File("client.zip"), *kOld)},
                  options);

  EXPECT_TRUE(results[0].ok) << results[0].reason;
  EXPECT_TRUE(results[1].ok) << results[1].reason;
  EXPECT_EQ(results[1].attempts, 2);
  // The whole file to a ranged request starts the partial file at zero.
  EXPECT_EQ(results[1].resumedFrom, 0u);
  EXPECT_TRUE(ReadFile(dir.File("client.zip")) == *kOld);
  std::vector<std::string> asked;
  for (const std::string& head : server.Requests(kPath)) asked.push_back(Asked(head));
  EXPECT_EQ(asked, (std::vector<std::string>{"", kFrom + " \"v1\""}));
  EXPECT_EQ(Tree(dir.Path()).size(), 2u) << "no partial file is left";
}

TEST(ParallelDownloads, AFileThatIsNotTheExpectedOneFailsAloneAndIsNotAskedForAgain) {
  HttpTestPeer server;
  TempDir dir;
  const std::string body = PatternBody(5000);
  server.Put("/good", body);
  server.Put("/other", body);
  std::vector<ParallelDownload> requests = {
      Request(server.Url("/good"), dir.File("a"), body),
      Request(server.Url("/other"), dir.File("hash"), body + "x"),
      Request(server.Url("/good"), dir.File("b"), body),
      ParallelDownload{server.Url("/other"), dir.File("size"), ExpectedContent{std::nullopt, body.size() + 1}},
      Request(server.Url("/status/404"), dir.File("missing"), body),
      Request("file:///etc/hostname", dir.File("local"), body),
      Request(server.Url("/good"), dir.File("c"), body),
      Request("http://127.0.0.1:" + std::to_string(RefusedPort()) + "/gone", dir.File("refused"), body),
  };
  requests[1].expected.size = body.size();

  const std::vector<DownloadResult> results = DownloadAll(requests, Quick());

  for (const char* name : {"a", "b", "c"}) EXPECT_EQ(ReadFile(dir.File(name)), body) << name;
  EXPECT_TRUE(results[0].ok && results[2].ok && results[6].ok);
  for (std::size_t failed : {1, 3, 4, 5}) {
    EXPECT_FALSE(results[failed].ok) << failed;
    EXPECT_EQ(results[failed].attempts, 1) << failed;
  }
  EXPECT_TRUE(results[1].contentMismatch);
  EXPECT_NE(results[1].reason.find("SHA-256 mismatch"), std::string::npos) << results[1].reason;
  EXPECT_TRUE(results[3].contentMismatch);
  EXPECT_EQ(results[4].reason, "HTTP 404");
  // A refused connect is transient: tried again until the retries are used up.
  EXPECT_FALSE(results[7].ok);
  EXPECT_EQ(results[7].attempts, 4);
  EXPECT_EQ(server.Hits("/other"), 2);
  EXPECT_EQ(Tree(dir.Path()).size(), 3u) << "nothing of the failed files is left";
}

TEST(ParallelDownloads, CancellingKeepsWhatArrivedForTheNextCallToGoOnFrom) {
  RangeHttpServer server;
  TempDir dir;
  std::vector<ParallelDownload> requests;
  for (int i = 0; i < 5; ++i) {
    const std::string path = "/big" + std::to_string(i);
    server.Put(path, kOld);
    Answer stall = Cut(kCut);
    stall.stallAtCut = true;
    if (i < 4) server.Queue(path, stall);
    requests.push_back(Request(server.Url(path), dir.File(std::to_string(i)), *kOld));
  }
  ParallelDownloadOptions options = Quick();
  options.stallLimit = 30s;
  std::uint64_t arrived = 0;
  options.onProgress = [&arrived](std::uint64_t bytes) { arrived = bytes; };
  // Each of the four running transfers has every byte before its stall in
  // hand, the last half MiB of them not stored yet; the fifth file waits
  // for a free transfer.
  options.cancelled = [&arrived] { return arrived >= 4 * kCut; };

  const std::vector<DownloadResult> cancelled = DownloadAll(requests, options);

  std::vector<std::uint64_t> kept;
  for (int i = 0; i < 5; ++i) {
    EXPECT_FALSE(cancelled[i].ok);
    EXPECT_EQ(cancelled[i].reason, "cancelled");
    EXPECT_FALSE(fs::exists(requests[i].localPath));
    kept.push_back(fs::exists(requests[i].localPath + ".part") ? fs::file_size(requests[i].localPath + ".part") : 0);
  }
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(kept[i], kCut) << i;
    EXPECT_EQ(ReadFile(requests[i].localPath + ".part"), kOld->substr(0, kept[i]));
  }
  EXPECT_EQ(kept[4], 0u);

  options.cancelled = nullptr;
  const std::vector<DownloadResult> resumed = DownloadAll(requests, options);
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(resumed[i].ok) << resumed[i].reason;
    EXPECT_EQ(resumed[i].resumedFrom, kept[i]);
    EXPECT_TRUE(ReadFile(requests[i].localPath) == *kOld);
  }
  EXPECT_EQ(arrived, 5 * kOld->size());
  EXPECT_EQ(Tree(dir.Path()).size(), 5u);
}

TEST(ParallelDownloads, TransfersHeldBackByASharedRateLimitLoseNoByte) {
  RecordingHttpServer server;
  TempDir dir;
  std::vector<std::string> contents;
  std::vector<ParallelDownload> requests;
  for (std::size_t i = 0; i < 12; ++i) {
    contents.push_back(PatternBody(40000 + i * 7000));
    server.Put("/" + std::to_string(i), contents.back());
    requests.push_back(Request(server.Url("/" + std::to_string(i)), dir.File(std::to_string(i)), contents.back()));
  }
  ParallelDownloadOptions options = Quick();
  options.maxBytesPerSecond = 4 * kMiB;

  const std::vector<DownloadResult> results = DownloadAll(requests, options);

  for (std::size_t i = 0; i < results.size(); ++i) {
    EXPECT_TRUE(results[i].ok) << results[i].reason;
    EXPECT_TRUE(ReadFile(dir.File(std::to_string(i))) == contents[i]) << i;
  }
}

}  // namespace
