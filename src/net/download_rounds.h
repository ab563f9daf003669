#pragma once
// The attempts of one download until the file is complete, a failure is
// not transient, or the retries are used up: where each attempt starts
// (from the kept partial file when it can be resumed) and what follows it.
// A partial file is kept between attempts and after the last one when it
// can be resumed.
#include <chrono>
#include <string>

#include "net/body_transfer.h"
#include "net/http_downloader.h"
#include "net/partial_download.h"
#include "net/retry_policy.h"

class DownloadRounds {
 public:
  DownloadRounds(const std::string& url, const std::string& localPath, const DownloadOptions& options);
  DownloadRounds(const DownloadRounds&) = delete;
  DownloadRounds& operator=(const DownloadRounds&) = delete;

  // Where the next attempt starts; valid until the next call.
  const AttemptStart& Begin();

  enum class Next { Done, AgainAtOnce, AgainAfterPause };
  // What follows an attempt that ended so; `result.attempts` is set. With
  // AgainAfterPause, `notice` says which retry, why and how long to wait.
  Next After(DownloadResult& result, const AttemptEnd& end, RetryNotice& notice);

  // The download ends before it is done (the caller stopped it): a partial
  // file that could not be resumed goes.
  void Stop() const;

 private:
  const std::string& url_;
  const DownloadOptions& options_;
  const PartialDownload part_;
  AttemptStart start_;
  bool startedOver_ = false;
  int retries_ = 0;
  int attempts_ = 0;
};
