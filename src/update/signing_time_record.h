#pragma once
// The signing time of the newest server document accepted in this game
// directory (the "timestamp:" of its trusted comment), kept so that an older
// signed document, replayed by someone who kept it, is refused.
#include <cstdint>
#include <optional>

// Decimal seconds since 1970 and a line feed.
constexpr char kSigningTimeRecord[] = "farLaunch.signedtime";

// None when nothing is recorded. A record that is no time is logged and
// counts as none.
std::optional<std::uint64_t> RecordedSigningTime();

// Saves the time atomically; false when it cannot be saved (the base
// library logs why).
bool RecordSigningTime(std::uint64_t seconds);
