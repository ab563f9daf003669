#include "trust/signature_file.h"

#include <cstring>
#include <limits>
#include <vector>

#include "trust/trust_text.h"

namespace {

constexpr std::size_t kSignatureLineBytes =
    sizeof(SignatureFile::algorithm) + sizeof(SignatureFile::keyId) + sizeof(SignatureFile::signature);

TrustResult<SignatureFile> Malformed(const std::string& why) { return {std::nullopt, why}; }

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

TrustResult<SignatureFile> ParseSignatureFile(std::string_view text) {
  // minisign reads the file as C strings: a NUL would cut a comment short.
  if (text.find('\0') != std::string_view::npos) return Malformed("the signature file holds a NUL byte");
  const std::vector<std::string_view> lines = SplitLines(text);
  if (lines.size() != 4) {
    return Malformed("a signature file has 4 lines, this one " + std::to_string(lines.size()));
  }
  if (!StartsWith(lines[0], kUntrustedCommentPrefix)) {
    return Malformed("the first line does not start with \"untrusted comment: \"");
  }
  if (lines[0].size() > kUntrustedCommentLineMax) return Malformed("the untrusted comment is too long");
  if (!StartsWith(lines[2], kTrustedCommentPrefix)) {
    return Malformed("the third line does not start with \"trusted comment: \"");
  }
  if (lines[2].size() > kTrustedCommentLineMax) return Malformed("the trusted comment is too long");

  SignatureFile file;
  std::uint8_t bytes[kSignatureLineBytes];
  if (!DecodeBase64Exact(lines[1], bytes, sizeof(bytes))) {
    return Malformed("the signature line is not Base64 of " + std::to_string(kSignatureLineBytes) + " bytes");
  }
  std::memcpy(file.algorithm.data(), bytes, file.algorithm.size());
  std::memcpy(file.keyId.data(), bytes + file.algorithm.size(), file.keyId.size());
  std::memcpy(file.signature.data(), bytes + file.algorithm.size() + file.keyId.size(), file.signature.size());
  if (!DecodeBase64Exact(lines[3], file.globalSignature.data(), file.globalSignature.size())) {
    return Malformed("the global signature line is not Base64 of " +
                     std::to_string(file.globalSignature.size()) + " bytes");
  }
  file.trustedComment = std::string(lines[2].substr(kTrustedCommentPrefix.size()));
  return {file, ""};
}

std::vector<std::string_view> TrustedCommentValues(std::string_view trustedComment, std::string_view name) {
  std::vector<std::string_view> values;
  while (true) {
    const std::size_t tab = trustedComment.find('\t');
    const std::string_view field = trustedComment.substr(0, tab);
    if (field.size() > name.size() && StartsWith(field, name) && field[name.size()] == ':') {
      values.push_back(field.substr(name.size() + 1));
    }
    if (tab == std::string_view::npos) return values;
    trustedComment.remove_prefix(tab + 1);
  }
}

std::optional<std::uint64_t> TrustedCommentSeconds(std::string_view trustedComment, std::string_view name) {
  const std::vector<std::string_view> values = TrustedCommentValues(trustedComment, name);
  if (values.empty() || values.front().empty()) return std::nullopt;
  std::uint64_t seconds = 0;
  for (const char c : values.front()) {
    if (c < '0' || c > '9') return std::nullopt;
    const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
    if (seconds > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return std::nullopt;
    seconds = seconds * 10 + digit;
  }
  return seconds;
}

std::optional<std::uint64_t> TrustedCommentTimestamp(std::string_view trustedComment) {
  return TrustedCommentSeconds(trustedComment, "timestamp");
}

std::string DescribeAlgorithm(const std::array<std::uint8_t, 2>& algorithm) {
  const auto printable = [](std::uint8_t c) { return c >= 0x21 && c < 0x7f; };
  if (printable(algorithm[0]) && printable(algorithm[1])) {
    return std::string(algorithm.begin(), algorithm.end());
  }
  return "0x" + LowerHex(algorithm.data(), algorithm.size());
}
