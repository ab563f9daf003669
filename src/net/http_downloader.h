#pragma once
// Fetches one resource over HTTP into a local file, reporting progress to
// the launcher window as WM_DOWNLOAD_PROGRESS percentages.
#include <chrono>
#include <string>

#include "platform/seam.h"

class HttpDownloader {
 public:
  // How long a connected transfer may go without receiving a byte before it
  // is given up. Without a limit a silent server would block the caller
  // (the UI thread for the server document) for ever.
  static constexpr std::chrono::seconds kDefaultStallLimit{60};

  // GET `url` with HTTP/1.0, bypassing caches, into `localPath`. True only
  // when the final answer was status 200 with a known length and the whole
  // body was written. No local file is created unless the status is 200.
  // One progress message is posted per 1 MiB chunk unless `localPath`
  // contains ".xml". Never throws.
  static bool DownloadFile(const std::string& url, const std::string& localPath,
                           platform::MessageTarget& window,
                           std::chrono::seconds stallLimit = kDefaultStallLimit);
};
