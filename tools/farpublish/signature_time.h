#pragma once
// The time a signature's trusted comment records.
#include <cstdint>
#include <string>

// SOURCE_DATE_EPOCH when it is set, so that the same inputs give the same
// signature (reproducible builds); otherwise the current time, so that the
// launcher's replay protection sees a newer document as newer. False with
// the reason when SOURCE_DATE_EPOCH is set but not a decimal number of
// seconds.
bool SignatureTimestamp(std::uint64_t& seconds, std::string& error);
