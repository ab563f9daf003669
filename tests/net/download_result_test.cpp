// What a download reports besides success: the status, how far the body
// came, and the reason of a failure in words.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "http_test_peer.h"
#include "net/http_downloader.h"
#include "recording_message_target.h"
#include "scripted_http_server.h"
#include "single_attempt.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kMiB = 0x100000;

std::string Head(const std::string& statusAndHeaders) { return "HTTP/1.0 " + statusAndHeaders + "\r\n\r\n"; }

TEST(DownloadResult, ASuccessCarriesTheStatusAndTheSizes) {
  HttpTestPeer peer;
  TempDir dir;
  RecordingMessageTarget window;
  const DownloadResult result = HttpDownloader::DownloadFile(peer.Url("/file/1234"), dir.File("a.zip"), window);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.httpStatus, 200);
  EXPECT_EQ(result.bytesReceived, 1234u);
  EXPECT_EQ(result.bytesExpected, std::optional<std::uint64_t>(1234));
  EXPECT_EQ(result.reason, "");
}

TEST(DownloadResult, AnswersOtherThan200AreNamedByTheirStatus) {
  HttpTestPeer peer;
  TempDir dir;
  RecordingMessageTarget window;
  const DownloadResult missing = HttpDownloader::DownloadFile(peer.Url("/status/404"), dir.File("a.zip"), window);
  EXPECT_EQ(missing.reason, "HTTP 404");
  EXPECT_EQ(missing.httpStatus, 404);
  ScriptedHttpServer empty(Head("503 Busy\r\nContent-Length: 0"));
  EXPECT_EQ(HttpDownloader::DownloadFile(empty.Url("/b.zip"), dir.File("b.zip"), window, SingleAttempt()).reason,
            "HTTP 503");
}

TEST(DownloadResult, ABrokenTransferSaysHowFarTheBodyCame) {
  const std::string body = PatternBody(7 * kMiB);
  TempDir dir;
  RecordingMessageTarget window;
  const std::string head = Head("200 OK\r\nContent-Length: " + std::to_string(body.size()));

  // The reset follows once all that was sent is on disk: a reset discards
  // what the client has not read yet.
  ScriptedHttpServer reset({head + body.substr(0, kMiB), ""}, ScriptedHttpServer::Then::Reset);
  DownloadResult broken;
  std::thread download(
      [&] { broken = HttpDownloader::DownloadFile(reset.Url("/c.zip"), dir.File("c.zip"), window, SingleAttempt()); });
  while (!fs::exists(dir.File("c.zip.part")) || fs::file_size(dir.File("c.zip.part")) < kMiB) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  reset.ReleaseNextPart();
  download.join();
  EXPECT_EQ(broken.reason, "connection reset after 1048576 of 7340032 bytes");

  ScriptedHttpServer closed({head + body.substr(0, 10)}, ScriptedHttpServer::Then::Close);
  EXPECT_EQ(HttpDownloader::DownloadFile(closed.Url("/c.zip"), dir.File("c.zip"), window, SingleAttempt()).reason,
            "connection closed after 10 of 7340032 bytes")
      << "the bytes short of a whole chunk count";

  ScriptedHttpServer stalled({head + body.substr(0, 10)}, ScriptedHttpServer::Then::Stall);
  EXPECT_EQ(HttpDownloader::DownloadFile(stalled.Url("/c.zip"), dir.File("c.zip"), window,
                                         SingleAttempt(std::chrono::seconds(1)))
                .reason,
            "no data for 1 seconds after 10 of 7340032 bytes");

  ScriptedHttpServer lengthless(Head("200 OK") + "data");
  EXPECT_EQ(HttpDownloader::DownloadFile(lengthless.Url("/d.zip"), dir.File("d.zip"), window).reason,
            "the server announced no length");
}

TEST(DownloadResult, UnreachableServersAndBadAddressesSayWhy) {
  TempDir dir;
  RecordingMessageTarget window;
  const DownloadResult refused = HttpDownloader::DownloadFile(
      "http://127.0.0.1:" + std::to_string(RefusedPort()) + "/a.zip", dir.File("a.zip"), window, SingleAttempt());
  EXPECT_FALSE(refused.ok);
  EXPECT_NE(refused.reason.find("127.0.0.1"), std::string::npos) << refused.reason;
  EXPECT_EQ(refused.httpStatus, 0);
  EXPECT_FALSE(HttpDownloader::DownloadFile("gopher://127.0.0.1/a", dir.File("a.zip"), window).reason.empty());
  EXPECT_FALSE(HttpDownloader::DownloadFile("", dir.File("a.zip"), window).reason.empty());
}

TEST(DownloadResult, TheSizeLimitRefusesLargerBodies) {
  HttpTestPeer peer;
  TempDir dir;
  RecordingMessageTarget window;
  DownloadOptions limited;
  limited.maxBytes = 1000;
  EXPECT_TRUE(HttpDownloader::DownloadFile(peer.Url("/file/1000"), dir.File("a.xml"), window, limited));
  const DownloadResult large = HttpDownloader::DownloadFile(peer.Url("/file/1001"), dir.File("b.xml"), window, limited);
  EXPECT_EQ(large.reason, "larger than 1000 bytes (1001 announced)");
  EXPECT_EQ(large.bytesReceived, 0u);
}

TEST(DownloadResult, AFullDiskIsNamed) {
  HttpTestPeer peer;
  TempDir dir;
  RecordingMessageTarget window;
  // The body is written to the partial file: here, a full device.
  fs::create_symlink("/dev/full", dir.File("a.zip.part"));
  const DownloadResult full = HttpDownloader::DownloadFile(peer.Url("/file/5000"), dir.File("a.zip"), window);
  EXPECT_FALSE(full.ok);
  EXPECT_EQ(full.reason, "No space left on device");
  // Nothing is kept to go on from: the room is needed more.
  EXPECT_TRUE(fs::is_empty(dir.Path()));
}

}  // namespace
