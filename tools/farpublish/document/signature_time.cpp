#include "document/signature_time.h"

#include <chrono>

namespace {
constexpr std::uint64_t kSecondsPerDay = 86400;
constexpr std::uint64_t kMostDays = 36500;
}  // namespace

std::uint64_t SigningTimeNow() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::seconds>(now).count());
}

bool ParseExpiryDays(const std::string& text, std::optional<std::uint64_t>& days, std::string& error) {
  if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos ||
      std::stoull(text) < 1 || std::stoull(text) > kMostDays) {
    error = "--expires takes a number of days from 1 to " + std::to_string(kMostDays) + ", not '" + text + "'";
    return false;
  }
  days = std::stoull(text);
  return true;
}

std::optional<std::uint64_t> ExpiryOf(std::uint64_t signedAt, const std::optional<std::uint64_t>& days) {
  if (!days) return std::nullopt;
  return signedAt + *days * kSecondsPerDay;
}
