#pragma once
// The three entry times: a DOS date and time in local time, refined by the
// extended-timestamp ("UT") block of the local extra field.
#include <cstddef>
#include <cstdint>

#include "zip/zip_entry.h"

// 100-ns intervals since 1601-01-01 UTC for a Unix time, and back (whole
// seconds, rounded down).
std::int64_t UnixTimeToFileTime(std::int64_t unixSeconds);
std::int64_t FileTimeToUnixTime(std::int64_t fileTime);

// A DOS date (high half) and time (low half), read as local time.
std::int64_t DosTimeToFileTime(std::uint32_t dosDateTime);

// Sets the entry's times from the first "UT" block of a local extra field;
// times the block does not carry are left as they are.
void ApplyExtendedTimestamp(const unsigned char* extra, std::size_t length, ZipEntry& entry);
