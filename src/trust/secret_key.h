#pragma once
// A publisher's secret key in minisign's format: "untrusted comment: ..."
// then Base64 of
//   "Ed", key derivation "Sc" (scrypt, encrypted) or two zero bytes (not
//   encrypted, minisign -G -W), checksum "B2", the scrypt salt (32 bytes),
//   opslimit and memlimit (8 bytes each, little-endian), then key id (8),
//   Ed25519 secret key (64) and checksum (32), these three XORed with the
//   scrypt stream of the password when encrypted.
// The checksum is BLAKE2b-256 of "Ed" || key id || secret key.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "trust/public_key.h"

// Wipes its secret bytes when it goes away.
struct SecretKey {
  KeyId id{};
  std::array<std::uint8_t, 64> ed25519{};

  ~SecretKey();
  // The matching public key: the same id and the key's public half.
  PublicKey Public() const;
};

enum class SecretKeyProblem {
  None,
  Malformed,            // not minisign's secret key file, or damaged
  Unsupported,          // another algorithm, or scrypt limits above minisign's
  PasswordRequired,     // encrypted, and no password was given
  WrongPassword,        // the decrypted checksum does not match
  KeyDerivationFailed,  // scrypt could not run (memory)
};

struct SecretKeyLoad {
  std::optional<SecretKey> key;
  SecretKeyProblem problem = SecretKeyProblem::None;
  std::string reason;  // one sentence for the user; empty when loaded
};

// Reads a secret key file's text. An encrypted key is decrypted with
// `password` (minisign's scrypt, which takes about a second and up to 1 GiB
// of memory); the password of a key that is not encrypted is ignored.
SecretKeyLoad ParseSecretKey(std::string_view text, const std::optional<std::string>& password);
