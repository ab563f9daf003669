// Downloads checked against the hash and size a server document announces:
// hashed while the body arrives, and a file that is not the announced one
// fails its download and is deleted.
#include "net/content_check.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <functional>

#include "http_test_peer.h"
#include "net/http_downloader.h"
#include "recording_message_target.h"
#include "support/temp_dir.h"
#include "trust/sha256.h"
#include "trust/tampering.h"

namespace fs = std::filesystem;

namespace {

// What a body is announced as, and the reason its download then fails
// (empty: it succeeds).
struct Announcement {
  const char* name;
  std::function<ExpectedContent(const std::string& body)> expected;
  std::function<std::string(const std::string& body)> failure;
};

TEST(VerifiedDownload, OnlyTheAnnouncedFileIsKept) {
  HttpTestPeer peer;
  TempDir dir;
  // Three chunks and a part: the hash runs across chunk boundaries.
  const std::size_t size = 3 * 0x100000 + 12345;
  const std::string body = PatternBody(size);
  const auto none = [](const std::string&) { return std::string(); };
  const Announcement announcements[] = {
      {"hash and size", [](const std::string& b) { return ExpectedContent{Sha256Of(b), b.size()}; }, none},
      {"hash only, in capitals",
       [](const std::string& b) {
         std::string upper = Sha256Of(b);
         for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
         return ExpectedContent{*ParseSha256Hex(upper), std::nullopt};
       },
       none},
      {"size only", [](const std::string& b) { return ExpectedContent{std::nullopt, b.size()}; }, none},
      {"the hash of a file one byte apart",
       [](const std::string& b) { return ExpectedContent{Sha256Of(OneByteChanged(b)), b.size()}; },
       [](const std::string& b) {
         return "SHA-256 mismatch: expected " + Sha256Of(OneByteChanged(b)) + ", got " + Sha256Of(b);
       }},
      {"a size one byte short", [](const std::string& b) { return ExpectedContent{Sha256Of(b), b.size() - 1}; },
       [](const std::string& b) {
         return "size " + std::to_string(b.size()) + " differs from the announced " + std::to_string(b.size() - 1);
       }},
  };
  for (const Announcement& announcement : announcements) {
    SCOPED_TRACE(announcement.name);
    // A failed check leaves nothing of the download; the file it was to
    // replace stays as it was.
    WriteFile(dir.File("client.zip"), "an older download");
    DownloadOptions options;
    options.expected = announcement.expected(body);
    RecordingMessageTarget window;
    const DownloadResult result =
        HttpDownloader::DownloadFile(peer.Url("/file/" + std::to_string(size)), dir.File("client.zip"), window, options);
    const std::string failure = announcement.failure(body);
    EXPECT_EQ(result.reason, failure);
    EXPECT_EQ(result.ok, failure.empty());
    EXPECT_EQ(result.contentMismatch, !failure.empty());
    if (failure.empty()) {
      EXPECT_EQ(ReadFile(dir.File("client.zip")), body);
    } else {
      EXPECT_EQ(ReadFile(dir.File("client.zip")), "an older download");
      EXPECT_FALSE(fs::exists(dir.File("client.zip.part")));
    }
  }
}

TEST(VerifiedDownload, AnEmptyFileHasAHashToo) {
  HttpTestPeer peer;
  TempDir dir;
  RecordingMessageTarget window;
  DownloadOptions options;
  options.expected = {Sha256Of(""), 0};
  EXPECT_TRUE(HttpDownloader::DownloadFile(peer.Url("/file/0"), dir.File("empty.dat"), window, options));
  options.expected.sha256 = Sha256Of("x");
  const DownloadResult wrong = HttpDownloader::DownloadFile(peer.Url("/file/0"), dir.File("empty.dat"), window, options);
  EXPECT_EQ(wrong.reason, "SHA-256 mismatch: expected " + Sha256Of("x") + ", got " + Sha256Of(""));
  EXPECT_FALSE(fs::exists(dir.File("empty.dat.part")));
}

TEST(ContentCheck, BytesAlreadyOnDiskCountLikeThoseThatArrive) {
  const std::string body = PatternBody(5000);
  ContentCheck resumed({Sha256Of(body), body.size()});
  EXPECT_EQ(resumed.CheckLength(body.size()), "");
  resumed.Update(std::string_view(body).substr(0, 1234));
  resumed.Update(std::string_view(body).substr(1234));
  EXPECT_EQ(resumed.Finish(), "");

  ContentCheck cut({std::nullopt, body.size()});
  EXPECT_EQ(cut.CheckLength(4999), "size 4999 differs from the announced 5000");
  cut.Update(std::string_view(body).substr(0, 10));
  EXPECT_EQ(cut.Finish(), "size 10 differs from the announced 5000");
}

}  // namespace
