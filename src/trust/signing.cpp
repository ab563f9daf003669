#include "trust/signing.h"

#include <sodium.h>

#include <algorithm>
#include <vector>

#include "trust/signature_file.h"
#include "trust/sodium_ready.h"
#include "trust/trust_text.h"

namespace {

constexpr std::string_view kUntrustedComment = "signature from farpublish secret key";

}  // namespace

std::string MinisignTrustedComment(const SignedFields& fields) {
  std::string comment = "timestamp:" + std::to_string(fields.timestamp) + "\tfile:" + fields.fileName;
  for (const std::string& url : fields.urls) comment += "\turl:" + url;
  if (fields.expires) comment += "\texpires:" + std::to_string(*fields.expires);
  return comment + "\thashed";
}

TrustResult<std::string> SignDocument(const SecretKey& key, std::string_view document, const SignedFields& fields) {
  SodiumReady();
  // A tab would start a field of its own.
  constexpr std::string_view kBreaks("\t\r\n\0", 4);
  if (fields.fileName.find_first_of(kBreaks) != std::string::npos) {
    return {std::nullopt, "cannot sign: the file name holds a tab, a line break or a NUL byte"};
  }
  for (const std::string& url : fields.urls) {
    if (url.find_first_of(kBreaks) != std::string::npos) {
      return {std::nullopt, "cannot sign: the address " + url + " holds a tab, a line break or a NUL byte"};
    }
  }
  const std::string trustedComment = MinisignTrustedComment(fields);
  if (kTrustedCommentPrefix.size() + trustedComment.size() > kTrustedCommentLineMax) {
    return {std::nullopt, "cannot sign: the file name and addresses are too long for minisign's trusted comment"};
  }

  SignatureFile file;
  std::copy(kPrehashedAlgorithm.begin(), kPrehashedAlgorithm.end(), file.algorithm.begin());
  file.keyId = key.id;
  unsigned char digest[crypto_generichash_BYTES_MAX];
  crypto_generichash(digest, sizeof(digest), reinterpret_cast<const unsigned char*>(document.data()),
                     document.size(), nullptr, 0);
  crypto_sign_detached(file.signature.data(), nullptr, digest, sizeof(digest), key.ed25519.data());

  std::vector<unsigned char> signedComment(file.signature.begin(), file.signature.end());
  signedComment.insert(signedComment.end(), trustedComment.begin(), trustedComment.end());
  crypto_sign_detached(file.globalSignature.data(), nullptr, signedComment.data(), signedComment.size(),
                       key.ed25519.data());

  std::vector<std::uint8_t> signatureLine(file.algorithm.begin(), file.algorithm.end());
  signatureLine.insert(signatureLine.end(), file.keyId.begin(), file.keyId.end());
  signatureLine.insert(signatureLine.end(), file.signature.begin(), file.signature.end());
  return {std::string(kUntrustedCommentPrefix) + std::string(kUntrustedComment) + "\n" +
              EncodeBase64(signatureLine.data(), signatureLine.size()) + "\n" + std::string(kTrustedCommentPrefix) +
              trustedComment + "\n" + EncodeBase64(file.globalSignature.data(), file.globalSignature.size()) +
              "\n",
          ""};
}
