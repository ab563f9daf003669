#pragma once
// Fetches one resource over HTTP or HTTPS into a local file, reporting
// progress to the launcher window as WM_DOWNLOAD_PROGRESS percentages. Every
// download the launcher makes goes through here, and every failure comes
// back with its reason in words.
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "net/content_check.h"
#include "net/retry_policy.h"
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
  // Keep what arrived of a failed download as "<local name>.part" (with its
  // sidecar) and go on from there next time, when the bytes can be known to
  // be the same file's. Without it a failure leaves no partial file.
  bool resume = true;
  // Transient failures are tried again within the call.
  RetryPolicy retry{};
  // Told about each retry before its pause and as it begins (on the
  // calling thread).
  std::function<void(const RetryNotice&)> onRetry{};
  // At most this many body bytes per second; 0: no limit.
  std::uint64_t maxBytesPerSecond = 0;
  // How long one attempt may take in all, however slowly bytes trickle in
  // (the stall limit catches only none); 0: no limit.
  std::chrono::seconds deadline{0};
  // Keep the sidecar of the finished file too: a later call for the same
  // address finds the file whole and asks only for its last byte, if it is
  // still the same file (If-Range), instead of fetching it again.
  bool keepComplete = false;
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
  // Bytes of the file that an earlier call had already stored and this one
  // kept (0 when it started from the beginning).
  std::uint64_t resumedFrom = 0;
  // Attempts made, retries included.
  int attempts = 0;
  // It failed for passing DownloadOptions::maxBytes.
  bool tooLarge = false;

  explicit operator bool() const { return ok; }
};

class HttpDownloader {
 public:
  // GET `url` (http or https; the system's certificates check https) with
  // HTTP/1.0, bypassing caches, into `localPath`. Succeeds only when the
  // final answer was status 200 (or 206 to a resumed request) with a known
  // length and the whole body was written, and it is the expected content.
  // The body is stored as "<localPath>.part" and renamed to `localPath` only
  // then: a failed download never touches `localPath`, and none is left when
  // the content is not the expected one. A progress message is posted
  // whenever the percentage of the body that arrived changes, unless
  // `localPath` contains ".xml"; a resumed download counts the bytes it
  // already had. Never throws.
  static DownloadResult DownloadFile(const std::string& url, const std::string& localPath,
                                     platform::MessageTarget& window, const DownloadOptions& options = {});
};
