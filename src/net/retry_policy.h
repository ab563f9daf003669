#pragma once
// How a download goes on after a failure that the next attempt may not
// meet (a refused or dropped connection, a stall, a busy server): how many
// more attempts, and how long to wait before each.
#include <chrono>
#include <optional>
#include <string>

struct RetryPolicy {
  // Attempts after the first one.
  int retries = 3;
  // The pause before the first retry; each later one doubles it.
  std::chrono::milliseconds firstPause{1000};
  // A server's Retry-After is followed up to this long.
  std::chrono::seconds retryAfterLimit{60};

  static RetryPolicy None() { return RetryPolicy{0}; }

  // The pause before retry number `retry` (1 for the first), or what the
  // server asked for, within the limit.
  std::chrono::milliseconds PauseBefore(int retry, const std::optional<std::chrono::seconds>& retryAfter) const;
};

// What a caller is told about each retry: before its pause, and again when
// it begins.
struct RetryNotice {
  enum class Phase { Pausing, Starting };
  Phase phase = Phase::Pausing;
  int retry = 0;  // 1 for the first retry
  int retries = 0;
  std::string reason;  // why the attempt before failed
  std::chrono::milliseconds pause{0};
};

// A Retry-After value (seconds, or an HTTP date) as a wait from now.
std::optional<std::chrono::seconds> ParseRetryAfter(const std::string& value);

// True for an HTTP status that a later attempt may not get: 408, 429, 5xx.
bool IsTransientStatus(long status);
