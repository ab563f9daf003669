#pragma once
// The body of one download attempt, from the answer's status to the
// promoted file: it decides whether the answer may be stored (status,
// announced length, resumed range), stores it as the partial file in 1 MiB
// chunks while checking the expected content, and promotes the partial file
// when the body is whole and right.
#include <curl/curl.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/files/ox_file_handle.h"
#include "net/content_check.h"
#include "net/http_downloader.h"
#include "net/partial_download.h"
#include "net/response_headers.h"

// What one attempt found out besides its result: whether the next attempt
// may get further, and whether the partial file could be used.
struct AttemptEnd {
  // A dropped or refused connection, a stall, a busy server.
  bool transient = false;
  std::optional<std::chrono::seconds> retryAfter;
  // The server would not go on from the partial file's bytes (416, or a
  // range other than the one asked for).
  bool resumeRefused = false;
  // The body went on from the partial file's bytes.
  bool resumed = false;
  // The partial file could not be written (a full disk): what it holds
  // takes room the player needs more than a resumed download.
  bool writeFailed = false;
};

// Where one attempt starts: the partial file, how many of its bytes are
// asked to be gone on from, and what its sidecar says about them.
struct AttemptStart {
  const std::string& url;
  const PartialDownload& part;
  std::uint64_t have = 0;
  PartialMeta meta;
};

// Told as a body's bytes arrive.
class BodyProgress {
 public:
  virtual ~BodyProgress() = default;
  // The body goes on from `have` of `total` bytes already stored.
  virtual void Resumed(std::uint64_t have, std::uint64_t total) = 0;
  // A piece arrived from libcurl (what the network delivered, at most a
  // receive buffer): `arrived` of `total` bytes are in hand, stored or
  // gathered for the next chunk.
  virtual void Arrived(std::uint64_t arrived, std::uint64_t total) = 0;
};

// libcurl hands the body over in pieces of its own size; they are gathered
// into 1 MiB chunks so that a chunk is what a blocking read of the whole
// transfer buffer would return: full chunks and one shorter last chunk.
class BodyTransfer {
 public:
  BodyTransfer(CURL* curl, const DownloadOptions& options, const AttemptStart& start, const ResponseHeaders& headers,
               BodyProgress& progress, DownloadResult& result, AttemptEnd& end);

  bool Started() const { return static_cast<bool>(file_); }

  // Called when the body begins (or the transfer ended without one): only
  // the final answer's status 200 (or 206 to a resumed request) opens the
  // partial file, and a length that cannot be known fails (nothing could
  // resume such a file: it goes).
  bool Start();
  bool Append(const char* data, std::size_t size);
  // The end of the body is the final, empty read: the last chunk is
  // written, the content checked and the partial file promoted.
  bool Finish();
  // After a failed transfer: what arrived of the unfinished chunk is kept
  // too, for the next attempt to go on from.
  void KeepReceived();
  // The body ended before its announced length (a connection closed early
  // without an error from libcurl).
  bool EndedShort() const { return result_.bytesExpected && result_.bytesReceived < *result_.bytesExpected; }

 private:
  bool Open(const char* mode);
  bool StartResumed();
  bool HashPartialFile();
  bool DropBytesFrom(std::uint64_t size);
  // Chunks no larger than what is left of the body: a small file needs no
  // 1 MiB buffer.
  void SizeBuffer();
  bool TooLarge(std::uint64_t bytes) const { return options_.maxBytes != 0 && bytes > options_.maxBytes; }
  bool FailTooLarge(std::string reason);
  bool Fail(std::string reason);
  bool Reject(std::string reason);
  bool WriteChunk();
  // Appends the buffered bytes to the partial file.
  bool Store();

  CURL* curl_;
  const DownloadOptions& options_;
  const AttemptStart& start_;
  const ResponseHeaders& headers_;
  BodyProgress& progress_;
  DownloadResult& result_;
  AttemptEnd& end_;
  ContentCheck check_;
  ox_base::FileHandle file_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
  // What the sidecar is to say, written before the partial file's first
  // bytes.
  std::optional<PartialMeta> unsavedMeta_;
};
