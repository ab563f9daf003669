// Downloads over a network that fails on the way, against a server that
// serves ranges and injects faults: each attempt goes on from the bytes
// already kept when they are known to be the same file's, starts over when
// they are not, and the finished file is byte for byte the served one.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "http_test_peer.h"
#include "net/http_downloader.h"
#include "recording_message_target.h"
#include "resume_cases.h"
#include "support/range_http_server.h"
#include "support/temp_dir.h"
#include "trust/tampering.h"

namespace fs = std::filesystem;

namespace {

using namespace resume_cases;
using namespace std::chrono_literals;

DownloadOptions Quick(const std::function<void(const RetryNotice&)>& onRetry = {}) {
  DownloadOptions options;
  options.stallLimit = 1s;
  options.retry.firstPause = 10ms;
  options.onRetry = onRetry;
  return options;
}

TEST(Resume, EachFaultEndsInTheServedFileByteForByte) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    RangeHttpServer server;
    server.Put(kPath, kOld, c.validators);
    for (const Answer& fault : c.faults) server.Queue(kPath, fault);
    TempDir dir;
    RecordingMessageTarget window;
    DownloadOptions options = Quick();
    // No size: a file that shrank is then found by the range it cannot serve.
    if (c.hashed) options.expected.sha256 = Sha256Of(*c.hashed);
    const DownloadResult result = HttpDownloader::DownloadFile(server.Url(kPath), dir.File("client.zip"), window, options);
    EXPECT_EQ(result.ok, c.ok) << result.reason;
    if (c.result) {
      EXPECT_TRUE(ReadFile(dir.File("client.zip")) == *c.result);
      EXPECT_EQ(Tree(dir.Path()).size(), 1u) << "only the finished file is left";
      EXPECT_EQ(window.percents.back(), 100);
    } else {
      EXPECT_FALSE(fs::exists(dir.File("client.zip")));
    }
    std::vector<std::string> asked;
    for (const std::string& head : server.Requests(kPath)) asked.push_back(Asked(head));
    EXPECT_EQ(asked, c.asked);
    EXPECT_LE(server.BodyBytesSent(kPath), c.bodyBytes);
  }
}

TEST(Resume, APartialFileOutlivesTheCallAndTheNextOneGoesOnFromIt) {
  RangeHttpServer server;
  server.Put(kPath, kOld);
  server.Queue(kPath, Cut(kCut));
  TempDir dir;
  RecordingMessageTarget first;
  DownloadOptions once = Quick();
  once.retry = RetryPolicy::None();
  const DownloadResult failed = HttpDownloader::DownloadFile(server.Url(kPath), dir.File("client.zip"), first, once);
  EXPECT_FALSE(failed.ok);
  EXPECT_FALSE(fs::exists(dir.File("client.zip")));
  EXPECT_EQ(ReadFile(dir.File("client.zip.part")), kOld->substr(0, kCut));
  EXPECT_TRUE(fs::exists(dir.File("client.zip.part.meta")));

  // Another address for the same name is another file: its bytes are not mixed in.
  RecordingMessageTarget second;
  const DownloadResult resumed = HttpDownloader::DownloadFile(server.Url(kPath), dir.File("client.zip"), second, once);
  ASSERT_TRUE(resumed.ok) << resumed.reason;
  EXPECT_EQ(resumed.resumedFrom, kCut);
  EXPECT_TRUE(ReadFile(dir.File("client.zip")) == *kOld);
  EXPECT_FALSE(fs::exists(dir.File("client.zip.part")));
  EXPECT_FALSE(fs::exists(dir.File("client.zip.part.meta")));
  // The bar starts where the first call stopped.
  ASSERT_FALSE(second.percents.empty());
  EXPECT_EQ(second.percents.front(), static_cast<int>(kCut * 100 / kOld->size()));
  EXPECT_EQ(second.percents.back(), 100);

  server.Queue(kPath, Cut(kCut));
  EXPECT_FALSE(HttpDownloader::DownloadFile(server.Url(kPath), dir.File("other.zip"), first, once).ok);
  RecordingMessageTarget third;
  const DownloadResult elsewhere =
      HttpDownloader::DownloadFile(server.Url(kPath + "?mirror=2"), dir.File("other.zip"), third, once);
  EXPECT_TRUE(elsewhere.ok);
  EXPECT_EQ(elsewhere.resumedFrom, 0u);

  // Without resume (the server document) nothing partial is left.
  server.Queue(kPath, Cut(kCut));
  DownloadOptions document = once;
  document.resume = false;
  EXPECT_FALSE(HttpDownloader::DownloadFile(server.Url(kPath), dir.File("servercfg.xml"), first, document).ok);
  EXPECT_FALSE(fs::exists(dir.File("servercfg.xml.part")));
  EXPECT_FALSE(fs::exists(dir.File("servercfg.xml.part.meta")));
}

// A file kept whole with its sidecar (a package waiting for its unpack)
// costs its last byte to confirm, and comes again whole only once changed.
TEST(Resume, AFileKeptWholeIsConfirmedByItsLastByteAndFetchedAgainOnlyWhenChanged) {
  RangeHttpServer server;
  server.Put(kPath, kOld);
  TempDir dir;
  RecordingMessageTarget window;
  DownloadOptions kept = Quick();
  kept.keepComplete = true;
  const std::uint64_t size = kOld->size();
  ASSERT_TRUE(HttpDownloader::DownloadFile(server.Url(kPath), dir.File("client.zip"), window, kept).ok);
  EXPECT_TRUE(fs::exists(dir.File("client.zip.part.meta")));

  const DownloadResult confirmed = HttpDownloader::DownloadFile(server.Url(kPath), dir.File("client.zip"), window, kept);
  ASSERT_TRUE(confirmed.ok) << confirmed.reason;
  EXPECT_EQ(confirmed.resumedFrom, size - 1);
  EXPECT_EQ(server.BodyBytesSent(kPath), size + 1);
  EXPECT_TRUE(ReadFile(dir.File("client.zip")) == *kOld);
  EXPECT_EQ(Asked(server.Requests(kPath).back()), "bytes=" + std::to_string(size - 1) + "- \"v1\"");

  server.Put(kPath, kOther);  // as long, another ETag
  const DownloadResult changed = HttpDownloader::DownloadFile(server.Url(kPath), dir.File("client.zip"), window, kept);
  ASSERT_TRUE(changed.ok) << changed.reason;
  EXPECT_EQ(changed.resumedFrom, 0u);
  EXPECT_TRUE(ReadFile(dir.File("client.zip")) == *kOther);
  EXPECT_EQ(server.BodyBytesSent(kPath), 2 * size + 1);
  EXPECT_FALSE(fs::exists(dir.File("client.zip.part")));
}

TEST(Resume, RetriesAreAnnouncedWithTheirReasonAndPause) {
  RangeHttpServer server;
  server.Put(kPath, kOld);
  server.Queue(kPath, Status(429, "1"));
  server.Queue(kPath, Cut(kCut));
  server.Queue(kPath, Cut(1000));
  TempDir dir;
  RecordingMessageTarget window;
  std::vector<RetryNotice> notices;
  const DownloadResult result = HttpDownloader::DownloadFile(
      server.Url(kPath), dir.File("client.zip"), window, Quick([&](const RetryNotice& n) {
        if (n.phase == RetryNotice::Phase::Pausing) notices.push_back(n);
      }));
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.attempts, 4);
  ASSERT_EQ(notices.size(), 3u);
  EXPECT_EQ(notices[0].reason, "HTTP 429");
  EXPECT_EQ(notices[0].pause, 1000ms) << "Retry-After is followed";
  // The bytes held: all that arrived, then the kept ones with the resumed rest.
  const std::string of = " of " + std::to_string(kOld->size()) + " bytes";
  EXPECT_EQ(notices[1].reason, "connection closed after " + std::to_string(kCut) + of);
  EXPECT_EQ(notices[1].pause, 20ms);
  EXPECT_EQ(notices[2].reason, "connection closed after " + std::to_string(kCut + 1000) + of);
  EXPECT_EQ(notices[2].pause, 40ms);
  EXPECT_EQ(notices[2].retry, 3);
  EXPECT_EQ(notices[2].retries, 3);

  RetryPolicy policy;
  EXPECT_EQ(policy.PauseBefore(1, std::nullopt), 1000ms);
  EXPECT_EQ(policy.PauseBefore(3, std::nullopt), 4000ms);
  EXPECT_EQ(policy.PauseBefore(1, std::chrono::seconds(3600)), 60000ms) << "a long Retry-After is cut";
  EXPECT_EQ(ParseRetryAfter("Wed, 21 Oct 2015 07:28:00 GMT"), std::chrono::seconds(0));
  EXPECT_EQ(ParseRetryAfter("soon"), std::nullopt);
}

}  // namespace
