#include "net/retry_policy.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <ctime>

std::chrono::milliseconds RetryPolicy::PauseBefore(int retry,
                                                   const std::optional<std::chrono::seconds>& retryAfter) const {
  if (retryAfter) return std::min<std::chrono::milliseconds>(*retryAfter, retryAfterLimit);
  return firstPause * (1 << std::min(std::max(retry - 1, 0), 16));
}

std::optional<std::chrono::seconds> ParseRetryAfter(const std::string& value) {
  if (value.empty()) return std::nullopt;
  if (std::all_of(value.begin(), value.end(), [](unsigned char c) { return std::isdigit(c) != 0; })) {
    // Anything longer than a day is as good as a day: the limit cuts it.
    return std::chrono::seconds(value.size() > 6 ? 86400 : std::stol(value));
  }
  const time_t when = curl_getdate(value.c_str(), nullptr);
  if (when < 0) return std::nullopt;
  return std::chrono::seconds(std::max<time_t>(when - std::time(nullptr), 0));
}

bool IsTransientStatus(long status) { return status == 408 || status == 429 || (status >= 500 && status <= 599); }
