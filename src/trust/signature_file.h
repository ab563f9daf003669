#pragma once
// minisign's signature file (.minisig), four lines:
//   untrusted comment: <free text, not signed>
//   Base64 of algorithm (2 bytes), key id (8), Ed25519 signature (64)
//   trusted comment: <text>
//   Base64 of the global signature (64): Ed25519 over signature || text
// The algorithm "ED" signs the BLAKE2b-512 hash of the document (minisign's
// default), "Ed" the document itself (legacy).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "trust/public_key.h"
#include "trust/trust_result.h"

constexpr std::string_view kPrehashedAlgorithm = "ED";
constexpr std::string_view kLegacyAlgorithm = "Ed";

struct SignatureFile {
  std::array<std::uint8_t, 2> algorithm{};  // as read: checked by the verifier
  KeyId keyId{};
  std::array<std::uint8_t, 64> signature{};
  std::string trustedComment;  // without its prefix and line end
  std::array<std::uint8_t, 64> globalSignature{};
};

// Reads the four lines (each ending in "\n" or "\r\n", the last one's line
// end optional, nothing after it). Fails on a missing or extra line, a
// missing comment prefix, a comment longer than minisign reads, a NUL byte,
// or Base64 that does not give exactly the bytes above.
TrustResult<SignatureFile> ParseSignatureFile(std::string_view text);

// The values of every tab-separated field "<name>:<value>" of a trusted
// comment, as minisign writes it ("timestamp:1700000000\tfile:a"), in order.
std::vector<std::string_view> TrustedCommentValues(std::string_view trustedComment, std::string_view name);

// The seconds of the first field "<name>:<digits>". None when there is no
// such field or its value is not a number that fits.
std::optional<std::uint64_t> TrustedCommentSeconds(std::string_view trustedComment, std::string_view name);

// TrustedCommentSeconds of "timestamp".
std::optional<std::uint64_t> TrustedCommentTimestamp(std::string_view trustedComment);

// A form of two algorithm bytes fit for a message: the characters when
// printable, else their hex ("0x00ff").
std::string DescribeAlgorithm(const std::array<std::uint8_t, 2>& algorithm);
