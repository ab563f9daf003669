#pragma once
// The local calendar time of a moment, thread-safe (localtime_r on Linux,
// localtime_s on Windows).
#include <ctime>

namespace ox_base {

std::tm LocalTime(std::time_t time);

}  // namespace ox_base
