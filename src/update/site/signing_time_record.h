#pragma once
// What this game directory knows of the newest server document it
// accepted: its signing time (the "timestamp:" of its trusted comment), so
// that an older signed document, replayed by someone who kept it, is
// refused; its SHA-256, so that another document signed at the same second
// is too; and whether it named its address, after which every document
// must.
#include <cstdint>
#include <optional>
#include <string>

// One line: decimal seconds since 1970, then, space-separated, the
// document's SHA-256 and "url" when it named its address. Older launchers
// wrote the seconds alone.
constexpr char kSigningTimeRecord[] = "farLaunch.signedtime";

struct SigningRecord {
  std::uint64_t seconds = 0;
  std::string sha256;  // 64 lower-case hex digits; empty in an older record
  bool addressBound = false;

  bool operator==(const SigningRecord& other) const {
    return seconds == other.seconds && sha256 == other.sha256 && addressBound == other.addressBound;
  }
};

// None when nothing is recorded. A record that cannot be read is logged and
// counts as none.
std::optional<SigningRecord> RecordedSigning();

// Saves the record atomically; false when it cannot be saved (the base
// library logs why).
bool RecordSigning(const SigningRecord& record);
