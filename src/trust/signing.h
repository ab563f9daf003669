#pragma once
// Signs a document the way minisign -S does by default, so that minisign -V
// and the launcher accept it: algorithm "ED" (Ed25519 over the BLAKE2b-512
// hash of the document) and the trusted comment minisign writes.
#include <cstdint>
#include <string>
#include <string_view>
#include <optional>
#include <vector>

#include "trust/secret_key.h"
#include "trust/trust_result.h"

// What the trusted comment says of the signed document.
struct SignedFields {
  std::string fileName;     // a base name, as minisign records it
  std::uint64_t timestamp;  // seconds since 1970: when it was signed
  // The addresses the document is served under ("url:" each).
  std::vector<std::string> urls = {};
  // When launchers stop accepting it ("expires:"), seconds since 1970.
  std::optional<std::uint64_t> expires = {};
};

// minisign's own trusted comment with the fields it does not write added
// before its last one:
// "timestamp:<s>\tfile:<name>[\turl:<address>...][\texpires:<s>]\thashed".
std::string MinisignTrustedComment(const SignedFields& fields);

// The text of the signature file (.minisig) for `document`, with `fields`
// as its trusted comment. Fails when a field holds a tab, a line break or
// a NUL byte, or the comment would be longer than minisign reads.
TrustResult<std::string> SignDocument(const SecretKey& key, std::string_view document, const SignedFields& fields);
