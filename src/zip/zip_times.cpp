#include "zip/zip_times.h"

#include <ctime>
#include <optional>

#include "zip/zip_extra_field.h"
#include "zip/zip_little_endian.h"

namespace {

constexpr std::int64_t kUnitsPerSecond = 10000000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
constexpr std::uint16_t kExtendedTimestampId = 0x5455;  // "UT"
constexpr std::size_t kUnixTimeSize = 4;

}  // namespace

std::int64_t UnixTimeToFileTime(std::int64_t unixSeconds) {
  return (unixSeconds + kSecondsFrom1601To1970) * kUnitsPerSecond;
}

std::int64_t FileTimeToUnixTime(std::int64_t fileTime) {
  std::int64_t seconds = fileTime / kUnitsPerSecond;
  if (fileTime % kUnitsPerSecond < 0) --seconds;
  return seconds - kSecondsFrom1601To1970;
}

std::int64_t DosTimeToFileTime(std::uint32_t dosDateTime) {
  const std::uint32_t date = dosDateTime >> 16;
  const std::uint32_t time = dosDateTime & 0xffffu;
  std::tm local{};
  local.tm_year = static_cast<int>((date >> 9) & 0x7f) + 80;
  local.tm_mon = static_cast<int>((date >> 5) & 0x0f) - 1;
  local.tm_mday = static_cast<int>(date & 0x1f);
  local.tm_hour = static_cast<int>(time >> 11);
  local.tm_min = static_cast<int>((time >> 5) & 0x3f);
  local.tm_sec = static_cast<int>(time & 0x1f) * 2;
  local.tm_isdst = -1;  // let the time zone decide summer time
  const std::time_t utc = std::mktime(&local);
  if (utc == static_cast<std::time_t>(-1)) return 0;
  return UnixTimeToFileTime(static_cast<std::int64_t>(utc));
}

void ApplyExtendedTimestamp(const unsigned char* extra, std::size_t length, ZipEntry& entry) {
  // Only what lies inside both the block and the extra field is read.
  const std::optional<ExtraBlock> block = FindExtraBlock(extra, length, kExtendedTimestampId);
  if (!block || block->size == 0) return;
  const unsigned flags = block->data[0];
  std::int64_t* const times[] = {&entry.modificationTime, &entry.accessTime, &entry.creationTime};
  std::size_t offset = 1;
  for (unsigned bit = 0; bit < 3; ++bit) {
    if ((flags & (1u << bit)) == 0) continue;
    if (offset + kUnixTimeSize > block->size) return;
    const auto unixTime = static_cast<std::int32_t>(Le32(block->data + offset));
    *times[bit] = UnixTimeToFileTime(unixTime);
    offset += kUnixTimeSize;
  }
}
