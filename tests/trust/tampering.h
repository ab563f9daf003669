#pragma once
// Bytes as a tamperer changes them, and the SHA-256 a document announces
// for bytes: what the tests of verified downloads compare.
#include <string>

#include "trust/sha256.h"

inline std::string Sha256Of(const std::string& bytes) {
  Sha256 hash;
  hash.Update(bytes);
  return hash.FinishHex();
}

// One bit of the middle byte flipped: never the same bytes.
inline std::string OneByteChanged(std::string bytes) {
  bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x01);
  return bytes;
}
