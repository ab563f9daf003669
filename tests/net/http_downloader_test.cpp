#include "net/http_downloader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

#include "http_test_peer.h"
#include "net/curl_easy_handle.h"
#include "recording_message_target.h"
#include "scripted_http_server.h"
#include "single_attempt.h"
#include "support/loopback_socket.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

constexpr long long kMiB = 0x100000;

std::string Head(const std::string& statusAndHeaders) { return "HTTP/1.0 " + statusAndHeaders + "\r\n\r\n"; }

}  // namespace

TEST(HttpDownloader, PostsAPercentageWheneverTheShareArrivedChanges) {
  HttpTestPeer peer;
  TempDir dir;
  const std::string body = PatternBody(2 * kMiB + kMiB / 2);

  RecordingMessageTarget window;
  ASSERT_TRUE(HttpDownloader::DownloadFile(peer.Url("/file/" + std::to_string(body.size())), dir.File("update.zip"), window));
  EXPECT_EQ(ReadFile(dir.File("update.zip")), body);
  ASSERT_FALSE(window.percents.empty());
  EXPECT_LT(window.percents.front(), 40) << "the first MiB is shown on its way, not once it is stored";
  EXPECT_EQ(std::adjacent_find(window.percents.begin(), window.percents.end(), std::greater_equal<int>()),
            window.percents.end())
      << "each percentage once, rising";
  EXPECT_EQ(window.percents.back(), 100);
  EXPECT_TRUE(window.AllAreProgressWithZeroWParam());

  RecordingMessageTarget small;
  fs::create_directory(dir.File("patch"));
  ASSERT_TRUE(HttpDownloader::DownloadFile(peer.Url("/file/3"), dir.Path().string() + "\\patch\\tiny.bin", small));
  EXPECT_EQ(small.percents, (std::vector<int>{100}));
  EXPECT_EQ(ReadFile(dir.File("patch/tiny.bin")), PatternBody(3));
}

TEST(HttpDownloader, XmlTargetsGetNoProgressMessages) {
  HttpTestPeer peer;
  TempDir dir;
  RecordingMessageTarget window;
  ASSERT_TRUE(HttpDownloader::DownloadFile(peer.Url("/file/" + std::to_string(2 * kMiB + 1)), dir.File("Servercfg.xml"), window));
  EXPECT_EQ(ReadFile(dir.File("Servercfg.xml")), PatternBody(2 * kMiB + 1));
  ASSERT_TRUE(HttpDownloader::DownloadFile(peer.Url("/file/10"), dir.File("a.xml.bak"), window));
  EXPECT_TRUE(window.percents.empty());
}

// The percentages a download posts, for a test thread to wait on.
class AwaitedPercents : public platform::MessageTarget {
 public:
  void PostWindowMessage(std::uint32_t, std::uintptr_t, std::intptr_t lParam) override {
    std::lock_guard<std::mutex> lock(mutex_);
    percents_.push_back(static_cast<int>(lParam));
    posted_.notify_all();
  }
  // False when `percent` was not posted within the wait limit.
  bool WaitFor(int percent) {
    std::unique_lock<std::mutex> lock(mutex_);
    return posted_.wait_for(lock, std::chrono::seconds(10), [&] {
      return std::find(percents_.begin(), percents_.end(), percent) != percents_.end();
    });
  }
  std::vector<int> Percents() {
    std::lock_guard<std::mutex> lock(mutex_);
    return percents_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::vector<int> percents_;
};

TEST(HttpDownloader, APercentageFollowsTheBytesLongBeforeTheirChunkIsStored) {
  const std::string body = PatternBody(3 * kMiB);
  const std::size_t first = 64 * 1024;
  ScriptedHttpServer server({Head("200 OK\r\nContent-Length: " + std::to_string(body.size())) + body.substr(0, first),
                             body.substr(first)},
                            ScriptedHttpServer::Then::Close);
  TempDir dir;
  AwaitedPercents window;
  bool result = false;
  std::thread download([&] { result = HttpDownloader::DownloadFile(server.Url("/update.zip"), dir.File("update.zip"), window).ok; });
  // 64 KiB of 3 MiB, with the rest held back.
  EXPECT_TRUE(window.WaitFor(2));
  EXPECT_EQ(window.Percents().back(), 2);
  server.ReleaseNextPart();
  download.join();
  EXPECT_TRUE(result);
  EXPECT_EQ(window.Percents().back(), 100);
  EXPECT_EQ(ReadFile(dir.File("update.zip")), body);
}

TEST(HttpDownloader, EmptyBodyWithLengthZeroIsAnEmptyFile) {
  ScriptedHttpServer server(Head("200 OK\r\nContent-Length: 0"));
  TempDir dir;
  WriteFile(dir.File("update.zip"), "old contents");
  RecordingMessageTarget window;
  EXPECT_TRUE(HttpDownloader::DownloadFile(server.Url("/empty"), dir.File("update.zip"), window));
  EXPECT_TRUE(fs::exists(dir.File("update.zip")));
  EXPECT_EQ(fs::file_size(dir.File("update.zip")), 0u);
  EXPECT_TRUE(window.percents.empty());
}

TEST(HttpDownloader, SendsHttp10GetThatBypassesCaches) {
  HttpTestPeer peer;
  TempDir dir;
  RecordingMessageTarget window;
  ASSERT_TRUE(HttpDownloader::DownloadFile(peer.Url("/file/5?v=0012"), dir.File("x.zip"), window));
  auto requests = peer.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "GET");
  EXPECT_EQ(requests[0].version, "HTTP/1.0");
  EXPECT_EQ(requests[0].path, "/file/5");
  EXPECT_EQ(requests[0].get_param_value("v"), "0012");
  EXPECT_EQ(requests[0].get_header_value("Cache-Control"), "no-cache");
  EXPECT_EQ(requests[0].get_header_value("Pragma"), "no-cache");
  EXPECT_EQ(requests[0].get_header_value("User-Agent"), "farLaunch");
}

TEST(HttpDownloader, StatusOtherThan200LeavesLocalFilesAlone) {
  HttpTestPeer peer;
  TempDir dir;
  RecordingMessageTarget window;
  for (const char* status : {"404", "500", "206", "204"}) {
    SCOPED_TRACE(status);
    EXPECT_FALSE(HttpDownloader::DownloadFile(peer.Url(std::string("/status/") + status), dir.File("new.zip"), window, SingleAttempt()));
    EXPECT_FALSE(fs::exists(dir.File("new.zip")));
  }
  WriteFile(dir.File("kept.zip"), "previous download");
  EXPECT_FALSE(HttpDownloader::DownloadFile(peer.Url("/status/404"), dir.File("kept.zip"), window));
  EXPECT_EQ(ReadFile(dir.File("kept.zip")), "previous download");
  EXPECT_TRUE(window.percents.empty());
}

TEST(HttpDownloader, FollowsRedirectsToTheFinalAnswer) {
  HttpTestPeer peer;
  TempDir dir;
  RecordingMessageTarget window;
  EXPECT_TRUE(HttpDownloader::DownloadFile(peer.Url("/redirect/3?to=/file/1000"), dir.File("a.zip"), window));
  EXPECT_EQ(ReadFile(dir.File("a.zip")), PatternBody(1000));
  EXPECT_EQ(window.percents, (std::vector<int>{100}));

  EXPECT_FALSE(HttpDownloader::DownloadFile(peer.Url("/redirect/1?to=/status/404"), dir.File("b.zip"), window));
  EXPECT_FALSE(fs::exists(dir.File("b.zip")));
  // A redirect chain that never ends is given up.
  EXPECT_FALSE(HttpDownloader::DownloadFile(peer.Url("/redirect/50?to=/file/10"), dir.File("c.zip"), window));
  EXPECT_FALSE(fs::exists(dir.File("c.zip")));
}

TEST(HttpDownloader, GoesThroughTheProxyFromTheEnvironment) {
  ScriptedHttpServer proxy(Head("200 OK\r\nContent-Length: 4") + "data");
  setenv("http_proxy", proxy.Url("").c_str(), 1);
  unsetenv("no_proxy");
  unsetenv("NO_PROXY");
  TempDir dir;
  RecordingMessageTarget window;
  bool result = HttpDownloader::DownloadFile("http://updates.farlaunch.invalid/patch/0012.zip", dir.File("u.zip"), window).ok;
  unsetenv("http_proxy");
  EXPECT_TRUE(result);
  EXPECT_EQ(ReadFile(dir.File("u.zip")), "data");
  auto requests = proxy.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].rfind("GET http://updates.farlaunch.invalid/patch/0012.zip HTTP/1.0\r\n", 0), 0u) << requests[0];
  // Without a port in the address the origin is port 80.
  EXPECT_NE(requests[0].find("\r\nHost: updates.farlaunch.invalid\r\n"), std::string::npos) << requests[0];
}

TEST(HttpDownloader, UnknownLengthFailsLeavingTheLocalFileAlone) {
  ScriptedHttpServer server(Head("200 OK\r\nContent-Type: application/zip") + PatternBody(3000));
  TempDir dir;
  WriteFile(dir.File("update.zip"), "old contents");
  RecordingMessageTarget window;
  EXPECT_FALSE(HttpDownloader::DownloadFile(server.Url("/update.zip"), dir.File("update.zip"), window));
  EXPECT_EQ(ReadFile(dir.File("update.zip")), "old contents");
  EXPECT_TRUE(window.percents.empty());

  ScriptedHttpServer emptyServer(Head("200 OK"));
  EXPECT_FALSE(HttpDownloader::DownloadFile(emptyServer.Url("/e"), dir.File("e.zip"), window));
  // Nothing of it could ever be resumed.
  EXPECT_EQ(Tree(dir.Path()).size(), 1u);
}

TEST(HttpDownloader, BodyEndingBeforeItsLengthFails) {
  const std::string body = PatternBody(3 * kMiB);
  ScriptedHttpServer server(Head("200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\nETag: \"1\"") +
                            body.substr(0, 2 * kMiB + 7));
  TempDir dir;
  RecordingMessageTarget window;
  EXPECT_FALSE(HttpDownloader::DownloadFile(server.Url("/client.zip"), dir.File("client.zip"), window, SingleAttempt()));
  // What arrived is kept for the next attempt; no 100 is ever reported.
  EXPECT_FALSE(fs::exists(dir.File("client.zip")));
  EXPECT_EQ(ReadFile(dir.File("client.zip.part")), body.substr(0, 2 * kMiB + 7));
  ASSERT_FALSE(window.percents.empty());
  EXPECT_EQ(window.percents.back(), 66);
}

TEST(HttpDownloader, StalledServerIsGivenUp) {
  ScriptedHttpServer midBody(Head("200 OK\r\nContent-Length: 100") + "0123456789", ScriptedHttpServer::Then::Stall);
  ScriptedHttpServer beforeHead("", ScriptedHttpServer::Then::Stall);
  TempDir dir;
  RecordingMessageTarget window;
  EXPECT_FALSE(HttpDownloader::DownloadFile(midBody.Url("/a.zip"), dir.File("a.zip"), window, SingleAttempt(std::chrono::seconds(1))));
  EXPECT_FALSE(HttpDownloader::DownloadFile(beforeHead.Url("/b.zip"), dir.File("b.zip"), window, SingleAttempt(std::chrono::seconds(1))));
  EXPECT_FALSE(fs::exists(dir.File("b.zip")));
  // A stall after connecting is not a connect failure: the request is not repeated.
  EXPECT_EQ(beforeHead.Requests().size(), 1u);
}

// A body that trickles in never stalls; the attempt's deadline ends it.
TEST(HttpDownloader, ATricklingBodyEndsAtTheDeadline) {
  std::vector<std::string> parts = {Head("200 OK\r\nContent-Length: 100")};
  for (int i = 0; i < 100; ++i) parts.push_back("x");
  ScriptedHttpServer trickle(parts, ScriptedHttpServer::Then::Close);
  std::atomic<bool> done{false};
  std::thread feeder([&] {
    while (!done) {
      trickle.ReleaseNextPart();
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
  });
  TempDir dir;
  RecordingMessageTarget window;
  DownloadOptions options = SingleAttempt(std::chrono::seconds(10));
  options.deadline = std::chrono::seconds(2);
  const DownloadResult result = HttpDownloader::DownloadFile(trickle.Url("/a.xml"), dir.File("a.xml"), window, options);
  done = true;
  feeder.join();
  EXPECT_FALSE(result);
  EXPECT_EQ(result.reason.rfind("not complete within 2 seconds after ", 0), 0u) << result.reason;
}

TEST(HttpDownloader, UnreachableServersFailWithoutAFile) {
  TempDir dir;
  RecordingMessageTarget window;
  EXPECT_FALSE(HttpDownloader::DownloadFile("http://127.0.0.1:" + std::to_string(RefusedPort()) + "/a.zip", dir.File("a.zip"), window, SingleAttempt()));
  UnansweredPort silent;
  EXPECT_FALSE(HttpDownloader::DownloadFile("http://127.0.0.1:" + std::to_string(silent.Port()) + "/b.zip", dir.File("b.zip"), window, SingleAttempt()));
  EXPECT_FALSE(HttpDownloader::DownloadFile("not an address", dir.File("c.zip"), window));
  EXPECT_FALSE(HttpDownloader::DownloadFile("", dir.File("c.zip"), window));
  EXPECT_TRUE(fs::is_empty(dir.Path()));
}

TEST(HttpDownloader, LocalFileThatCannotBeCreatedFails) {
  HttpTestPeer peer;
  TempDir dir;
  RecordingMessageTarget window;
  EXPECT_FALSE(HttpDownloader::DownloadFile(peer.Url("/file/10"), dir.File("missing/dir/a.zip"), window));
  EXPECT_FALSE(HttpDownloader::DownloadFile(peer.Url("/file/10"), dir.Path().string(), window));
}

// A program started during a transfer (the web panel's processes, the
// client) must not hold the transfer's socket open after it is closed.
TEST(CurlEasyHandle, ItsSocketsAreClosedInProgramsStartedMeanwhile) {
  int port = 0;
  const int listening = BindLoopbackSocket(1, port);
  const CurlEasyHandle curl;
  curl_easy_setopt(curl.get(), CURLOPT_URL, ("http://127.0.0.1:" + std::to_string(port) + "/").c_str());
  curl_easy_setopt(curl.get(), CURLOPT_CONNECT_ONLY, 1L);
  ASSERT_EQ(curl_easy_perform(curl.get()), CURLE_OK);
  curl_socket_t socket = CURL_SOCKET_BAD;
  ASSERT_EQ(curl_easy_getinfo(curl.get(), CURLINFO_ACTIVESOCKET, &socket), CURLE_OK);
  EXPECT_NE(fcntl(socket, F_GETFD) & FD_CLOEXEC, 0);
  close(listening);
}
