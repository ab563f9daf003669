// Arbitrary bytes as each of minisign's files: a signature of a fixed
// document under a fixed key, a public key, a secret key (without a
// password, so scrypt never runs), and the texts read from them.
// seeds/ holds real files: the signatures are of kSeedDocument by the key
// in seeds/publisher.pub, so mutations reach the signature checks.
#include <cstdint>
#include <string_view>

#include "trust/public_key.h"
#include "trust/secret_key.h"
#include "trust/sha256.h"
#include "trust/signature_check.h"
#include "trust/signature_file.h"

namespace {

constexpr std::string_view kSeedDocument = "<S WebAddr=\"http://a/\"></S>\n";
constexpr std::string_view kSeedKey = "RWQxRW9H1KaLSUtQQoCUvDy2tP1A0eNzPC9nz53p31wtA8NAQzTtI9BO";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const PublicKey key = *ParsePublicKey(kSeedKey).value;
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  SignatureVerifier verifier(key, input);
  verifier.Update(kSeedDocument.substr(0, 5));
  verifier.Update(kSeedDocument.substr(5));
  verifier.Finish();
  ParsePublicKey(input);
  ParseSecretKey(input, std::nullopt);
  ParseSha256Hex(input);
  TrustedCommentTimestamp(input);
  return 0;
}
