#include "trust/sha256.h"

#include <sodium.h>

#include <cctype>

#include "trust/sodium_ready.h"
#include "trust/trust_text.h"

struct Sha256::State {
  crypto_hash_sha256_state hash;
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
  SodiumReady();
  crypto_hash_sha256_init(&state_->hash);
}

Sha256::~Sha256() = default;

void Sha256::Update(std::string_view piece) {
  crypto_hash_sha256_update(&state_->hash, reinterpret_cast<const unsigned char*>(piece.data()), piece.size());
}

std::string Sha256::FinishHex() {
  unsigned char digest[crypto_hash_sha256_BYTES];
  crypto_hash_sha256_final(&state_->hash, digest);
  crypto_hash_sha256_init(&state_->hash);
  return LowerHex(digest, sizeof(digest));
}

std::optional<std::string> ParseSha256Hex(std::string_view text) {
  if (text.size() != crypto_hash_sha256_BYTES * 2) return std::nullopt;
  std::string lower;
  for (const char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return lower;
}
