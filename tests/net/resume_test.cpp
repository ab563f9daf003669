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
#include "support/range_http_server.h"
#include "support/temp_dir.h"
#include "trust/tampering.h"

namespace fs = std::filesystem;

namespace {

using Answer = RangeHttpServer::Answer;
using Validators = RangeHttpServer::Validators;
using namespace std::chrono_literals;

constexpr std::uint64_t kMiB = 0x100000;
const std::string kPath = "/client.zip";
// The bytes with those at `positions` changed.
std::shared_ptr<const std::string> Changed(std::string bytes, const std::vector<std::size_t>& positions) {
  for (std::size_t at : positions) bytes[at] = static_cast<char>(bytes[at] ^ 0x01);
  return std::make_shared<const std::string>(std::move(bytes));
}

const auto kOld = std::make_shared<const std::string>(PatternBody(3 * kMiB + 11));
// Differs from kOld before the cut only: kept bytes and the new rest mix.
const auto kNew = Changed(*kOld, {0});
// Differs before and after the cut.
const auto kOther = Changed(*kOld, {0, kOld->size() - 1});
const auto kShort = std::make_shared<const std::string>(PatternBody(kMiB));
constexpr std::uint64_t kCut = kMiB + kMiB / 2 + 3;

Answer Cut(std::uint64_t bytes, std::shared_ptr<const std::string> thenServe = nullptr) {
  Answer answer;
  answer.cutAfter = bytes;
  answer.thenServe = std::move(thenServe);
  return answer;
}
Answer Status(int status, const std::string& retryAfter = "") {
  Answer answer;
  answer.status = status;
  answer.retryAfter = retryAfter;
  return answer;
}

DownloadOptions Quick(const std::function<void(const RetryNotice&)>& onRetry = {}) {
  DownloadOptions options;
  options.stallLimit = 1s;
  options.retry.firstPause = 10ms;
  options.onRetry = onRetry;
  return options;
}

struct Case {
  const char* name;
  Validators validators;
  std::vector<Answer> faults;
  std::shared_ptr<const std::string> hashed;  // the expected content given to the client, if any
  bool ok;
  std::shared_ptr<const std::string> result;  // the file after the download
  // What each request asked for: "" the whole file, else its Range and If-Range.
  std::vector<std::string> asked;
  std::uint64_t bodyBytes;  // sent by the server over all attempts, at most
};

const std::string kFrom = "bytes=" + std::to_string(kCut) + "-";
const Validators kNone{false, false};

std::vector<Case> Cases() {
  Answer stall = Cut(kCut);
  stall.stallAtCut = true;
  Answer ignoring;
  ignoring.ignoreRange = true;
  Answer wrongRange;
  wrongRange.wrongContentRange = true;
  const std::uint64_t size = kOld->size();
  return {
      {"cut, resumed by ETag", {}, {Cut(kCut)}, nullptr, true, kOld, {"", kFrom + " \"v1\""}, size},
      {"cut, resumed by Last-Modified", {false, true}, {Cut(kCut)}, nullptr, true, kOld,
       {"", kFrom + " Tue, 01 Dec 2026 10:00:01 GMT"}, size},
      {"cut, no validator but a hash: resumed", kNone, {Cut(kCut)}, kOld, true, kOld, {"", kFrom + " "}, size},
      {"cut, no validator and no hash: started over", kNone, {Cut(kCut)}, nullptr, true, kOld, {"", ""},
       kCut + size},
      {"stalled, resumed", {}, {stall}, nullptr, true, kOld, {"", kFrom + " \"v1\""}, size},
      {"503 then 200", {}, {Status(503)}, nullptr, true, kOld, {"", ""}, size},
      {"408 and 500 then 200", {}, {Status(408), Status(500)}, nullptr, true, kOld, {"", "", ""}, size},
      {"Range ignored: the whole file again", {}, {Cut(kCut), ignoring}, nullptr, true, kOld,
       {"", kFrom + " \"v1\""}, kCut + size},
      {"wrong Content-Range: started over once", {}, {Cut(kCut), wrongRange}, nullptr, true, kOld,
       {"", kFrom + " \"v1\"", ""}, kCut + (size - kCut) + size},
      {"changed between attempts, ETag: the new file", {}, {Cut(kCut, kNew)}, nullptr, true, kNew,
       {"", kFrom + " \"v1\""}, kCut + size},
      {"changed, no validator: the hash fails the mix, started over", kNone, {Cut(kCut, kNew)}, kNew, true, kNew,
       {"", kFrom + " ", ""}, kCut + (size - kCut) + size},
      {"shrunk below the kept bytes: 416, started over", kNone, {Cut(kCut, kShort)}, kShort, true, kShort,
       {"", kFrom + " ", ""}, kCut + kShort->size()},
      {"retries used up", {}, {Status(503), Status(503), Status(503), Status(503)}, nullptr, false, nullptr,
       {"", "", "", ""}, 0},
      {"404 fails at once", {}, {Status(404)}, nullptr, false, nullptr, {""}, 0},
      {"403 fails at once", {}, {Status(403)}, nullptr, false, nullptr, {""}, 0},
      {"410 fails at once", {}, {Status(410)}, nullptr, false, nullptr, {""}, 0},
      {"400 fails at once", {}, {Status(400)}, nullptr, false, nullptr, {""}, 0},
      {"a mix, then the whole file, both not the announced one", kNone, {Cut(kCut, kOther)}, kOld, false, nullptr,
       {"", kFrom + " ", ""}, kCut + (size - kCut) + size},
  };
}

// What a request asked for: its Range and If-Range, or "" for the whole file.
std::string Asked(const std::string& head) {
  auto value = [&head](const std::string& name) {
    const std::size_t at = head.find("\r\n" + name + ": ");
    if (at == std::string::npos) return std::string();
    const std::size_t begin = at + name.size() + 4;
    return head.substr(begin, head.find("\r\n", begin) - begin);
  };
  const std::string range = value("Range");
  return range.empty() ? "" : range + " " + value("If-Range");
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
