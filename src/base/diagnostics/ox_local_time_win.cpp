#include "base/diagnostics/ox_local_time.h"

namespace ox_base {

std::tm LocalTime(std::time_t time) {
  std::tm local{};
  localtime_s(&local, &time);
  return local;
}

}  // namespace ox_base
