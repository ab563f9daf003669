#pragma once
// Options for download tests about one answer: no retry, so a failure
// comes back at once with that answer's reason.
#include <chrono>

#include "net/http_downloader.h"

inline DownloadOptions SingleAttempt(std::chrono::seconds stallLimit = std::chrono::seconds(60)) {
  DownloadOptions options;
  options.stallLimit = stallLimit;
  options.retry = RetryPolicy::None();
  return options;
}
