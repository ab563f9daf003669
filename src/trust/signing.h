#pragma once
// Signs a document the way minisign -S does by default, so that minisign -V
// and the launcher accept it: algorithm "ED" (Ed25519 over the BLAKE2b-512
// hash of the document) and the trusted comment minisign writes.
#include <cstdint>
#include <string>
#include <string_view>

#include "trust/secret_key.h"
#include "trust/trust_result.h"

// minisign's own trusted comment: "timestamp:<seconds>\tfile:<name>\thashed".
std::string MinisignTrustedComment(std::uint64_t timestamp, std::string_view fileName);

// The text of the signature file (.minisig) for `document`, signed at
// `timestamp` (seconds since 1970; the caller's, so output is reproducible)
// under the name `fileName` (a base name, as minisign records it). Fails when
// the name holds a line break or a NUL byte, or the comment would be longer
// than minisign reads.
TrustResult<std::string> SignDocument(const SecretKey& key, std::string_view document, std::string_view fileName,
                                      std::uint64_t timestamp);
