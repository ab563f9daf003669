#pragma once
// Checks a document against a minisign signature file and the publisher's
// public key, the way minisign -V does: the algorithm must be "ED", the key
// ids must match, the signature must match the document, and the global
// signature must match the signature and its trusted comment.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "trust/public_key.h"

enum class SignatureCheck {
  Valid,
  MalformedSignature,      // the signature file cannot be read
  LegacyAlgorithm,         // "Ed": minisign's legacy form, over the document itself
  UnknownAlgorithm,        // neither "ED" (prehashed) nor "Ed"
  KeyIdMismatch,           // signed by another key
  DocumentMismatch,        // the document is not what was signed
  TrustedCommentMismatch,  // the trusted comment is not what was signed
};

struct Verification {
  SignatureCheck outcome = SignatureCheck::Valid;
  std::string reason;  // why the check failed, one sentence; empty when valid
  // Set only when valid, so nothing unverified is ever used.
  std::string trustedComment;
  std::optional<std::uint64_t> timestamp;  // the trusted comment's "timestamp:"

  bool Valid() const { return outcome == SignatureCheck::Valid; }
};

// Checks a document that arrives in pieces, so it can be verified while it
// downloads: each piece is hashed as it comes. Only prehashed ("ED")
// signatures are accepted.
class SignatureVerifier {
 public:
  // Reads the signature file; what is wrong with it is reported by Finish.
  SignatureVerifier(const PublicKey& key, std::string_view signatureFile);
  ~SignatureVerifier();
  SignatureVerifier(const SignatureVerifier&) = delete;
  SignatureVerifier& operator=(const SignatureVerifier&) = delete;

  void Update(std::string_view piece);
  // The outcome for everything passed to Update; call it once.
  Verification Finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Checks a whole document held in memory.
Verification VerifySignature(const PublicKey& key, std::string_view document, std::string_view signatureFile);
