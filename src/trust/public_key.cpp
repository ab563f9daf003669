#include "trust/public_key.h"

#include <sodium.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "trust/trust_text.h"

namespace {

// The Base64 line's bytes: algorithm, key id, Ed25519 key.
constexpr std::size_t kAlgorithmBytes = 2;
constexpr std::size_t kPublicKeyBytes = kAlgorithmBytes + sizeof(KeyId) + sizeof(PublicKey::ed25519);
static_assert(sizeof(PublicKey::ed25519) == crypto_sign_PUBLICKEYBYTES);

TrustResult<PublicKey> Failure(const std::string& why) { return {std::nullopt, "public key: " + why}; }

}  // namespace

std::string FormatKeyId(const KeyId& id) {
  KeyId mostSignificantFirst;
  std::reverse_copy(id.begin(), id.end(), mostSignificantFirst.begin());
  std::string text = LowerHex(mostSignificantFirst.data(), mostSignificantFirst.size());
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

TrustResult<PublicKey> ParsePublicKey(std::string_view text) {
  const std::vector<std::string_view> lines = SplitLines(text);
  std::string_view keyLine;
  if (lines.size() == 1) {
    keyLine = lines[0];
  } else if (lines.size() == 2) {
    if (lines[0].substr(0, kUntrustedCommentPrefix.size()) != kUntrustedCommentPrefix) {
      return Failure("the first of two lines is not an untrusted comment");
    }
    if (lines[0].size() > kUntrustedCommentLineMax) return Failure("the comment line is too long");
    keyLine = lines[1];
  } else {
    return Failure("expected the key's Base64 line, alone or after its comment line, found " +
                   std::to_string(lines.size()) + " lines");
  }

  std::uint8_t bytes[kPublicKeyBytes];
  if (!DecodeBase64Exact(keyLine, bytes, sizeof(bytes))) {
    return Failure("the key line is not Base64 of " + std::to_string(kPublicKeyBytes) + " bytes");
  }
  if (std::memcmp(bytes, "Ed", kAlgorithmBytes) != 0) return Failure("the algorithm is not Ed25519 (\"Ed\")");
  PublicKey key;
  std::memcpy(key.id.data(), bytes + kAlgorithmBytes, key.id.size());
  std::memcpy(key.ed25519.data(), bytes + kAlgorithmBytes + key.id.size(), key.ed25519.size());
  return {key, ""};
}
