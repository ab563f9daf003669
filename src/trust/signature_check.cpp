#include "trust/signature_check.h"

#include <sodium.h>

#include <cstring>
#include <vector>

#include "trust/signature_file.h"
#include "trust/sodium_ready.h"

static_assert(sizeof(SignatureFile::signature) == crypto_sign_BYTES);

namespace {

constexpr std::size_t kPrehashBytes = crypto_generichash_BYTES_MAX;  // BLAKE2b-512

bool IsAlgorithm(const SignatureFile& file, std::string_view name) {
  return std::memcmp(file.algorithm.data(), name.data(), file.algorithm.size()) == 0;
}

}  // namespace

struct SignatureVerifier::State {
  PublicKey key;
  SignatureFile file;
  Verification early;  // a failure found before the document is seen; Valid while none
  crypto_generichash_state hash;
};

SignatureVerifier::SignatureVerifier(const PublicKey& key, std::string_view signatureFile)
    : state_(std::make_unique<State>()) {
  SodiumReady();
  State& state = *state_;
  state.key = key;
  TrustResult<SignatureFile> parsed = ParseSignatureFile(signatureFile);
  if (!parsed.value) {
    state.early = {SignatureCheck::MalformedSignature, "malformed signature file: " + parsed.error, "", {}};
    return;
  }
  state.file = std::move(*parsed.value);
  // A legacy signature covers whatever bytes it was made over: a genuine
  // prehashed signature relabelled "Ed" verifies over the 64-byte digest
  // as if that were the document. Only the prehashed form is taken.
  if (IsAlgorithm(state.file, kLegacyAlgorithm)) {
    state.early = {SignatureCheck::LegacyAlgorithm,
                   "the signature uses minisign's legacy algorithm Ed (minisign -l); only prehashed ED "
                   "signatures are accepted",
                   "",
                   {}};
    return;
  }
  if (!IsAlgorithm(state.file, kPrehashedAlgorithm)) {
    state.early = {SignatureCheck::UnknownAlgorithm,
                     "unknown signature algorithm " + DescribeAlgorithm(state.file.algorithm) + " (known: ED)",
                     "",
                     {}};
    return;
  }
  if (state.file.keyId != key.id) {
    state.early = {SignatureCheck::KeyIdMismatch,
                     "the signature's key id is " + FormatKeyId(state.file.keyId) +
                         " but the public key's id is " + FormatKeyId(key.id),
                     "",
                     {}};
    return;
  }
  crypto_generichash_init(&state.hash, nullptr, 0, kPrehashBytes);
}

SignatureVerifier::~SignatureVerifier() = default;

void SignatureVerifier::Update(std::string_view piece) {
  State& state = *state_;
  if (!state.early.Valid()) return;
  crypto_generichash_update(&state.hash, reinterpret_cast<const unsigned char*>(piece.data()), piece.size());
}

Verification SignatureVerifier::Finish() {
  State& state = *state_;
  if (!state.early.Valid()) return state.early;
  const SignatureFile& file = state.file;

  unsigned char digest[kPrehashBytes];
  crypto_generichash_final(&state.hash, digest, sizeof(digest));
  if (crypto_sign_verify_detached(file.signature.data(), digest, sizeof(digest), state.key.ed25519.data()) != 0) {
    return {SignatureCheck::DocumentMismatch, "the signature does not match the document", "", {}};
  }

  std::vector<unsigned char> signedComment(file.signature.begin(), file.signature.end());
  signedComment.insert(signedComment.end(), file.trustedComment.begin(), file.trustedComment.end());
  if (crypto_sign_verify_detached(file.globalSignature.data(), signedComment.data(), signedComment.size(),
                                  state.key.ed25519.data()) != 0) {
    return {SignatureCheck::TrustedCommentMismatch, "the trusted comment's signature does not match", "", {}};
  }
  return {SignatureCheck::Valid, "", file.trustedComment, TrustedCommentTimestamp(file.trustedComment)};
}

Verification VerifySignature(const PublicKey& key, std::string_view document, std::string_view signatureFile) {
  SignatureVerifier verifier(key, signatureFile);
  verifier.Update(document);
  return verifier.Finish();
}
