#pragma once
// A publisher's public key in minisign's format: the file minisign -G writes
// ("untrusted comment: ..." and a Base64 line) or that Base64 line alone
// (how a key is built into the program).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "trust/trust_result.h"

// Eight random bytes that name a key pair in its keys and signatures.
using KeyId = std::array<std::uint8_t, 8>;

// The id as minisign prints it: the bytes read as a little-endian number,
// 16 upper-case hex digits ("CE6B2ECAD62922CB").
std::string FormatKeyId(const KeyId& id);

struct PublicKey {
  KeyId id{};
  std::array<std::uint8_t, 32> ed25519{};
};

// Reads a key file's text, or the bare Base64 line (with or without a line
// end). The Base64 must hold algorithm "Ed", the key id and the 32-byte key.
TrustResult<PublicKey> ParsePublicKey(std::string_view text);
