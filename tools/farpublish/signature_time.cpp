#include "signature_time.h"

#include <chrono>
#include <cstdlib>

bool SignatureTimestamp(std::uint64_t& seconds, std::string& error) {
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  if (epoch == nullptr) {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    seconds = static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::seconds>(now).count());
    return true;
  }
  const std::string text = epoch;
  // Twenty digits may pass 64 bits; nineteen never do.
  if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string::npos) {
    error = "SOURCE_DATE_EPOCH must be a number of seconds, not '" + text + "'";
    return false;
  }
  seconds = std::stoull(text);
  return true;
}
