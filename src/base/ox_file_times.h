#pragma once
// Setting a file's last-write time to a whole second. The standard library
// has no portable way from a Unix time to its file clock before C++20.
#include <cstdint>
#include <string>

namespace ox_base {

// Sets the last-write time of `path` to `unixSeconds` (seconds since
// 1970-01-01 UTC); the access time is left as it is. False on failure.
bool SetLastWriteTime(const std::string& path, std::int64_t unixSeconds);

}  // namespace ox_base
