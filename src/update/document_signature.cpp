#include "update/document_signature.h"

#include <chrono>
#include <string>

#include "net/http_downloader.h"
#include "trust/signature_check.h"
#include "update/failure_log.h"
#include "update/game_files.h"
#include "update/signing_time_record.h"

namespace {

// minisign's signature files are a few hundred bytes; its comment lines
// are at most 9 KiB.
const DownloadOptions kSignatureFetch{std::chrono::seconds(10), 16 * 1024, {}, false, RetryPolicy::None()};

constexpr char kSignatureSuffix[] = ".minisig";

bool Refused(const std::string& address, const std::string& reason) {
  LogFailure("server document", address, reason);
  return false;
}

}  // namespace

DocumentSignature CheckDocumentSignature(const std::string& documentAddress, std::string_view document,
                                         const PublicKey& key, platform::MessageTarget& window) {
  DocumentSignature result;
  result.address = documentAddress + kSignatureSuffix;
  const DownloadResult download = HttpDownloader::DownloadFile(result.address, kDownloadedSignature, window, kSignatureFetch);
  std::string signature;
  const bool read = download && ReadGameFile(kDownloadedSignature, signature);
  DeleteFileIfPresent(kDownloadedSignature);
  if (!download) {
    result.reason = "no signature: " + download.reason;
    return result;
  }
  if (!read) {
    result.reason = "the downloaded signature cannot be read back";
    return result;
  }
  const Verification verification = VerifySignature(key, document, signature);
  if (!verification.Valid()) {
    result.address = documentAddress;
    result.reason = "signature refused: " + verification.reason;
    return result;
  }
  result.valid = true;
  result.timestamp = verification.timestamp;
  return result;
}

bool AcceptSignedDocument(const std::string& documentAddress, platform::Platform& platform, const PublicKey& key,
                          std::string_view document, std::optional<std::uint64_t>& newer) {
  const DocumentSignature signature = CheckDocumentSignature(documentAddress, document, key, platform.GetUiThread());
  if (!signature.valid) return Refused(signature.address, signature.reason);
  // A document signed without minisign's timestamp cannot be ordered; it
  // is accepted, and the record stays as it is.
  if (!signature.timestamp) return true;
  const std::uint64_t signedAt = *signature.timestamp;
  const std::optional<std::uint64_t> recorded = RecordedSigningTime();
  // The same document comes at every start: equal times are accepted.
  if (recorded && signedAt < *recorded) {
    return Refused(documentAddress, "replayed document: signed at " + std::to_string(signedAt) +
                                               ", before the one accepted here (signed at " +
                                               std::to_string(*recorded) + ")");
  }
  if (!recorded || signedAt > *recorded) newer = signedAt;
  return true;
}
