#pragma once
// Fetches many files at once over a few kept-alive HTTP/1.1 connections
// (libcurl's multi interface): each file as DownloadFile stores it (a
// partial file resumed and retried by the same rules, promoted only when
// whole and the expected content), with one rate limit for all of them.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "net/content_check.h"
#include "net/http_downloader.h"
#include "net/retry_policy.h"

struct ParallelDownload {
  std::string url;  // http or https
  std::string localPath;
  // What the file must be (its size bounds the download before and while
  // it arrives).
  ExpectedContent expected;
};

struct ParallelDownloadOptions {
  // Transfers (and connections) at once.
  int maxTransfers = 4;
  // The sum of all transfers' body bytes per second; 0: no limit.
  std::uint64_t maxBytesPerSecond = 0;
  std::chrono::seconds stallLimit{60};
  RetryPolicy retry{};
  // The bytes arrived so far of all files together, as the network
  // delivers them, resumed ones counted (a file that fails stops
  // counting); called on the calling thread.
  std::function<void(std::uint64_t bytesArrived)> onProgress;
  // Asked between transfer steps (several times a second): true stops
  // every transfer, keeping what arrived for the next call to go on from.
  std::function<bool()> cancelled;
  // Told of each request as it ends (by its index), on the calling thread.
  std::function<void(std::size_t index, const DownloadResult& result)> onEnded;
  // For a caller with other addresses of the same files (mirrors); asked
  // on the calling thread. An address it gives asks the file there from
  // the next attempt on, as a new request with retries of its own (bytes
  // kept from another address are not gone on from); "" keeps the address
  // asked last (at first the request's url).
  // Asked before each attempt of a request (by its index), for example
  // after another request showed its server to serve wrong files.
  std::function<std::string(std::size_t index)> addressBeforeAttempt;
  // Asked after an attempt of a request failed, before any retry (and its
  // pause) or its end: the file is asked at the new address at once.
  std::function<std::string(std::size_t index, const DownloadResult& failed)> addressAfterFailure;
};

// One DownloadResult per request, in request order: that of its last
// attempt, at the address asked last; a request not done when the call was
// cancelled fails with the reason "cancelled". While it runs, the call is
// taken to be the only one adding names to the folders of the local paths
// (they are read once). Never throws.
std::vector<DownloadResult> DownloadAll(const std::vector<ParallelDownload>& requests,
                                        const ParallelDownloadOptions& options);
