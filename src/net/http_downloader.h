#pragma once
// Fetches one resource over HTTP or HTTPS into a local file, reporting
// progress to the launcher window as WM_DOWNLOAD_PROGRESS percentages. Every
// download the launcher makes goes through here, and every failure comes
// back with its reason in words.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "net/content_check.h"
#include "platform/seam.h"

// How one download is bounded.
struct DownloadOptions {
  // How long a connected transfer may go without receiving a byte before it
  // is given up. Without a limit a silent server would block the caller
  // for ever.
  std::chrono::seconds stallLimit{60};
  // A larger body fails the download (announced or received); 0: no limit.
  std::uint64_t maxBytes = 0;
  // What the file must be, checked while it arrives. A file that is not
  // fails the download and is deleted.
  ExpectedContent expected{};
};

// What became of one download.
struct DownloadResult {
  bool ok = false;
  // The final answer's status; 0 when no answer arrived.
  long httpStatus = 0;
  // Bytes written to the local file, and the length the server announced.
  std::uint64_t bytesReceived = 0;
  std::optional<std::uint64_t> bytesExpected;
  // Why it failed, in words ("HTTP 404", "connection reset after 1048576 of
  // 7340032 bytes", "No space left on device"); empty when it succeeded.
  std::string reason;
  // The body arrived whole but is not the expected content, so fetching it
  // again brings the same bytes; its file was deleted.
  bool contentMismatch = false;

  explicit operator bool() const { return ok; }
};

class HttpDownloader {
 public:
  // GET `url` (http or https; the system's certificates check https) with
  // HTTP/1.0, bypassing caches, into `localPath`. Succeeds only when the
  // final answer was status 200 with a known length and the whole body was
  // written, and it is the expected content. No local file is created
  // unless the status is 200, and none is left when the content is not the
  // expected one. One progress message is posted per 1 MiB chunk unless
  // `localPath` contains ".xml". Never throws.
  static DownloadResult DownloadFile(const std::string& url, const std::string& localPath,
                                     platform::MessageTarget& window, const DownloadOptions& options = {});
};
