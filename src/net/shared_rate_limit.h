#pragma once
// One rate limit shared by transfers running at once: a token bucket that
// every transfer draws its received bytes from. A transfer whose bytes the
// bucket cannot cover yet waits (libcurl keeps them and the socket's
// window closes), so the sum of all transfers keeps to the limit however
// many run and however small their files are.
#include <chrono>
#include <cstddef>
#include <cstdint>

class SharedRateLimit {
 public:
  using Clock = std::chrono::steady_clock;

  explicit SharedRateLimit(std::uint64_t bytesPerSecond);

  // Takes `bytes` when the bucket is not in debt (they may run it into
  // debt: a read cannot be split); false when they must wait.
  bool Take(std::size_t bytes);
  // How long until Take can succeed again (zero when it can now).
  std::chrono::milliseconds Wait();

 private:
  void Refill();

  double bytesPerSecond_;
  // A short burst only: a longer one would let the sum run over the limit
  // after a pause.
  double capacity_;
  double tokens_;
  Clock::time_point refilled_;
};
