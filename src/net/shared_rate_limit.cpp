#include "net/shared_rate_limit.h"

#include <algorithm>
#include <cmath>

namespace {

// What the bucket holds at most: 1/50 s of the limit, and never less than
// one of the small reads a limited transfer makes.
constexpr double kBurstSeconds = 0.02;
constexpr double kLeastBurstBytes = 4096;

}  // namespace

SharedRateLimit::SharedRateLimit(std::uint64_t bytesPerSecond)
    : bytesPerSecond_(static_cast<double>(bytesPerSecond)),
      capacity_(std::max(bytesPerSecond_ * kBurstSeconds, kLeastBurstBytes)),
      tokens_(capacity_),
      refilled_(Clock::now()) {}

bool SharedRateLimit::Take(std::size_t bytes) {
  Refill();
  if (tokens_ < 0) return false;
  tokens_ -= static_cast<double>(bytes);
  return true;
}

std::chrono::milliseconds SharedRateLimit::Wait() {
  Refill();
  if (tokens_ >= 0) return std::chrono::milliseconds(0);
  return std::chrono::milliseconds(static_cast<long long>(std::ceil(-tokens_ * 1000.0 / bytesPerSecond_)));
}

void SharedRateLimit::Refill() {
  const Clock::time_point now = Clock::now();
  const double seconds = std::chrono::duration<double>(now - refilled_).count();
  refilled_ = now;
  tokens_ = std::min(capacity_, tokens_ + seconds * bytesPerSecond_);
}
