#pragma once
// The fields of the launcher's tab-separated line formats (the manifest and
// the record of installed files) besides their names (PercentEscaped):
// decimal sizes and SHA-256 hex.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// A decimal number without sign or leading zero that fits 64 bits.
std::optional<std::uint64_t> ParseDecimal(std::string_view field);

// True for 64 lower-case hex digits.
bool IsSha256Hex(std::string_view field);

// The fields of a line, split at every tab.
std::vector<std::string_view> SplitFields(std::string_view line);
