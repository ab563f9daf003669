#pragma once
// Signing and expiry times in words for the log and the publisher.
#include <cstdint>
#include <string>

// "2026-12-09 03:41:04 UTC" for seconds since 1970.
std::string UtcDate(std::uint64_t seconds);
