#include "trust/secret_key.h"

#include <sodium.h>

#include <cstring>
#include <vector>

#include "trust/trust_text.h"
#include "trust/sodium_ready.h"

namespace {

static_assert(sizeof(SecretKey::ed25519) == crypto_sign_SECRETKEYBYTES);

constexpr std::size_t kSaltBytes = crypto_pwhash_scryptsalsa208sha256_SALTBYTES;
constexpr std::size_t kChecksumBytes = crypto_generichash_BYTES;  // BLAKE2b-256

// The decoded Base64 line, field by field.
constexpr std::size_t kSignatureAlgorithm = 0;
constexpr std::size_t kKdfAlgorithm = 2;
constexpr std::size_t kChecksumAlgorithm = 4;
constexpr std::size_t kSalt = 6;
constexpr std::size_t kOpsLimit = kSalt + kSaltBytes;
constexpr std::size_t kMemLimit = kOpsLimit + 8;
constexpr std::size_t kKeyId = kMemLimit + 8;  // the encrypted part starts here
constexpr std::size_t kSecret = kKeyId + sizeof(KeyId);
constexpr std::size_t kChecksum = kSecret + sizeof(SecretKey::ed25519);
constexpr std::size_t kFileBytes = kChecksum + kChecksumBytes;
constexpr std::size_t kEncryptedBytes = kFileBytes - kKeyId;

// A decoded key file, wiped when it goes away.
struct KeyBytes {
  std::uint8_t bytes[kFileBytes];
  ~KeyBytes() { sodium_memzero(bytes, sizeof(bytes)); }
};

SecretKeyLoad Problem(SecretKeyProblem problem, const std::string& why) {
  return {std::nullopt, problem, "secret key: " + why};
}

bool FieldIs(const std::uint8_t* field, std::string_view value) {
  return std::memcmp(field, value.data(), value.size()) == 0;
}

std::uint64_t LittleEndian64(const std::uint8_t* bytes) {
  std::uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}

void Checksum(const std::uint8_t* key, std::uint8_t* out) {
  crypto_generichash_state state;
  crypto_generichash_init(&state, nullptr, 0, kChecksumBytes);
  crypto_generichash_update(&state, key + kSignatureAlgorithm, 2);
  crypto_generichash_update(&state, key + kKeyId, sizeof(KeyId));
  crypto_generichash_update(&state, key + kSecret, sizeof(SecretKey::ed25519));
  crypto_generichash_final(&state, out, kChecksumBytes);
}

// minisign starts at these scrypt limits and only ever lowers them; a file
// asking for more would make scrypt run for hours or take all memory.
bool WithinMinisignLimits(const std::uint8_t* key) {
  return LittleEndian64(key + kOpsLimit) <= crypto_pwhash_scryptsalsa208sha256_OPSLIMIT_SENSITIVE &&
         LittleEndian64(key + kMemLimit) <= crypto_pwhash_scryptsalsa208sha256_MEMLIMIT_SENSITIVE;
}

// XORs the encrypted part with the scrypt stream of the password. The file
// stores the limits, not scrypt's N, r and p: the high-level function turns
// them into those exactly as minisign does.
bool Decrypt(std::uint8_t* key, const std::string& password) {
  std::vector<std::uint8_t> stream(kEncryptedBytes);
  const bool derived =
      crypto_pwhash_scryptsalsa208sha256(stream.data(), stream.size(), password.data(), password.size(),
                                         key + kSalt, LittleEndian64(key + kOpsLimit),
                                         static_cast<std::size_t>(LittleEndian64(key + kMemLimit))) == 0;
  for (std::size_t i = 0; derived && i < stream.size(); ++i) key[kKeyId + i] ^= stream[i];
  sodium_memzero(stream.data(), stream.size());
  return derived;
}

}  // namespace

SecretKey::~SecretKey() { sodium_memzero(ed25519.data(), ed25519.size()); }

PublicKey SecretKey::Public() const {
  PublicKey key;
  key.id = id;
  crypto_sign_ed25519_sk_to_pk(key.ed25519.data(), ed25519.data());
  return key;
}

SecretKeyLoad ParseSecretKey(std::string_view text, const std::optional<std::string>& password) {
  SodiumReady();
  const std::vector<std::string_view> lines = SplitLines(text);
  if (lines.size() != 2 || lines[0].substr(0, kUntrustedCommentPrefix.size()) != kUntrustedCommentPrefix) {
    return Problem(SecretKeyProblem::Malformed, "expected an untrusted comment line and a Base64 line");
  }
  KeyBytes file;
  std::uint8_t* key = file.bytes;
  if (!DecodeBase64Exact(lines[1], key, kFileBytes)) {
    return Problem(SecretKeyProblem::Malformed,
                   "the key line is not Base64 of " + std::to_string(kFileBytes) + " bytes");
  }
  if (!FieldIs(key + kSignatureAlgorithm, "Ed")) {
    return Problem(SecretKeyProblem::Unsupported, "the signature algorithm is not Ed25519 (\"Ed\")");
  }
  if (!FieldIs(key + kChecksumAlgorithm, "B2")) {
    return Problem(SecretKeyProblem::Unsupported, "the checksum algorithm is not BLAKE2b (\"B2\")");
  }
  const bool encrypted = FieldIs(key + kKdfAlgorithm, "Sc");
  if (!encrypted && !FieldIs(key + kKdfAlgorithm, std::string_view("\0\0", 2))) {
    return Problem(SecretKeyProblem::Unsupported, "the key derivation is neither scrypt (\"Sc\") nor none");
  }

  std::uint8_t checksum[kChecksumBytes];
  if (encrypted) {
    if (!password) return Problem(SecretKeyProblem::PasswordRequired, "the key is encrypted: a password is needed");
    if (!WithinMinisignLimits(key)) {
      return Problem(SecretKeyProblem::Unsupported, "the scrypt limits are above what minisign writes");
    }
    if (!Decrypt(key, *password)) {
      return Problem(SecretKeyProblem::KeyDerivationFailed, "scrypt could not derive the key (out of memory?)");
    }
    Checksum(key, checksum);
    if (sodium_memcmp(checksum, key + kChecksum, kChecksumBytes) != 0) {
      return Problem(SecretKeyProblem::WrongPassword, "wrong password (the checksum does not match)");
    }
  } else {
    // minisign -G -W leaves the checksum of a key that is not encrypted as
    // zeros; one that is there must match.
    Checksum(key, checksum);
    if (!sodium_is_zero(key + kChecksum, kChecksumBytes) &&
        sodium_memcmp(checksum, key + kChecksum, kChecksumBytes) != 0) {
      return Problem(SecretKeyProblem::Malformed, "the checksum does not match: the key is damaged");
    }
  }

  SecretKeyLoad load;
  load.key.emplace();
  std::memcpy(load.key->id.data(), key + kKeyId, sizeof(KeyId));
  std::memcpy(load.key->ed25519.data(), key + kSecret, sizeof(SecretKey::ed25519));
  // The secret key holds its seed and its public half: a key whose halves do
  // not belong together would make signatures that never verify.
  std::uint8_t publicHalf[crypto_sign_PUBLICKEYBYTES];
  SecretKey rebuilt;
  crypto_sign_seed_keypair(publicHalf, rebuilt.ed25519.data(), load.key->ed25519.data());
  if (sodium_memcmp(rebuilt.ed25519.data(), load.key->ed25519.data(), rebuilt.ed25519.size()) != 0) {
    return Problem(SecretKeyProblem::Malformed, "the key's public half does not belong to its secret half");
  }
  return load;
}
