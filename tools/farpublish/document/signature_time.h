#pragma once
// The times a signature's trusted comment records.
#include <cstdint>
#include <optional>
#include <string>

// The real time of signing. Never SOURCE_DATE_EPOCH: two documents signed
// in one build setting would share it, and launchers would take the
// withdrawn one for the current one.
std::uint64_t SigningTimeNow();

// Reads "--expires DAYS": a whole number of days from 1 to 36500. False
// with the reason otherwise.
bool ParseExpiryDays(const std::string& text, std::optional<std::uint64_t>& days, std::string& error);

// When a document signed at `signedAt` stops being accepted.
std::optional<std::uint64_t> ExpiryOf(std::uint64_t signedAt, const std::optional<std::uint64_t>& days);
