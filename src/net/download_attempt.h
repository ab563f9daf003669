#pragma once
// One request of a download on its own libcurl easy handle: the handle's
// options (no caches, http and https only, timeouts, the Range of a resumed
// attempt), the body's transfer into the partial file, and what the
// finished transfer means for the result. The caller runs the handle: on
// its own (curl_easy_perform) or with others (a multi handle).
#include <curl/curl.h>

#include <memory>

#include "net/body_transfer.h"
#include "net/curl_easy_handle.h"
#include "net/http_downloader.h"
#include "net/response_headers.h"

class SharedRateLimit;

// How the request goes out.
struct AttemptSetup {
  long httpVersion = CURL_HTTP_VERSION_1_0;
  // Transfers that share a limit draw their bytes from it instead of
  // libcurl's own per-handle limit; null: DownloadOptions::maxBytesPerSecond.
  SharedRateLimit* sharedLimit = nullptr;
};

class DownloadAttempt {
 public:
  DownloadAttempt(const DownloadOptions& options, const AttemptStart& start, BodyProgress& progress,
                  DownloadResult& result, AttemptEnd& end);
  ~DownloadAttempt();
  DownloadAttempt(const DownloadAttempt&) = delete;
  DownloadAttempt& operator=(const DownloadAttempt&) = delete;

  // The handle, ready to run; null (with the result's reason) when it
  // could not be set up.
  CURL* Prepare(const AttemptSetup& setup);

  // Only a connect that failed is tried once more, at once: true when the
  // same handle is to be run again. A server that was reached and then
  // failed or fell silent is not asked again: a stall would only double
  // the wait.
  bool RunAgain(CURLcode code);
  // The handle ran to `code`: the result and the attempt's end are known.
  void Complete(CURLcode code);
  // The transfer is given up before it completed: what arrived is kept.
  void Abandon();

  // Waiting for the shared limit (its body callback asked libcurl to pause).
  bool Paused() const { return paused_; }
  // Goes on once the limit allows (libcurl may deliver the held bytes at
  // once, and they may pause it again).
  void Unpause();

 private:
  static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user);

  const DownloadOptions& options_;
  const AttemptStart& start_;
  DownloadResult& result_;
  AttemptEnd& end_;
  CurlEasyHandle handle_;
  std::unique_ptr<curl_slist, void (*)(curl_slist*)> headers_;
  ResponseHeaders response_;
  BodyTransfer transfer_;
  SharedRateLimit* sharedLimit_ = nullptr;
  bool paused_ = false;
  bool ranAgain_ = false;
  char detail_[CURL_ERROR_SIZE] = "";
};
