#include "trust/utc_date.h"

#include <cstdio>

std::string UtcDate(std::uint64_t seconds) {
  const std::uint64_t days = seconds / 86400;
  const std::uint64_t inDay = seconds % 86400;
  // Days to a proleptic Gregorian date, in eras of 400 years starting on
  // 1 March, so leap days fall at the end of a year.
  const std::uint64_t z = days + 719468;
  const std::uint64_t era = z / 146097;
  const std::uint64_t dayOfEra = z - era * 146097;
  const std::uint64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::uint64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::uint64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
  const std::uint64_t day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
  const std::uint64_t month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
  const std::uint64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  char text[64];
  std::snprintf(text, sizeof(text), "%04llu-%02llu-%02llu %02llu:%02llu:%02llu UTC",
                static_cast<unsigned long long>(year), static_cast<unsigned long long>(month),
                static_cast<unsigned long long>(day), static_cast<unsigned long long>(inDay / 3600),
                static_cast<unsigned long long>(inDay / 60 % 60), static_cast<unsigned long long>(inDay % 60));
  return text;
}
