#include "update/site/document_signature.h"

#include <chrono>
#include <string>
#include <vector>

#include "net/http_downloader.h"
#include "trust/document_address.h"
#include "trust/sha256.h"
#include "trust/signature_check.h"
#include "trust/signature_file.h"
#include "trust/utc_date.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"

namespace {

// minisign's signature files are a few hundred bytes; its comment lines
// are at most 9 KiB.
const DownloadOptions kSignatureFetch{std::chrono::seconds(10), 16 * 1024, {}, false, RetryPolicy::None(), {}, 0,
                                      kDocumentFetchDeadline};

constexpr char kSignatureSuffix[] = ".minisig";

bool Refused(const std::string& address, const std::string& reason) {
  LogFailure("server document", address, reason);
  return false;
}

std::uint64_t Now() {
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count());
}

std::string Listed(const std::vector<std::string_view>& values) {
  std::string list;
  for (const std::string_view value : values) list += (list.empty() ? "" : ", ") + std::string(value);
  return list;
}

// Why the "expires:" field refuses the document; empty when it does not.
std::string ExpiryRefusal(const std::string& trustedComment) {
  if (TrustedCommentValues(trustedComment, "expires").empty()) return "";
  const std::optional<std::uint64_t> expires = TrustedCommentSeconds(trustedComment, "expires");
  if (!expires) return "the signature's expires: is not a number of seconds";
  const std::uint64_t now = Now();
  if (*expires >= now) return "";
  return "expired document: it expired on " + UtcDate(*expires) + ", and the clock here says " + UtcDate(now);
}

// Why the "url:" fields refuse the document; empty when they do not. A
// document that names none is taken until one that does was accepted.
std::string AddressRefusal(const std::string& requestedAddress, const std::vector<std::string_view>& urls,
                           const std::optional<SigningRecord>& recorded) {
  if (urls.empty()) {
    if (!recorded || !recorded->addressBound) return "";
    return std::string("the signature names no address (url:), and this game directory has accepted documents "
                       "that do: ") + kHowToSign;
  }
  for (const std::string_view url : urls) {
    if (SameDocumentAddress(url, requestedAddress)) return "";
  }
  return "a document for another address: its signature names " + Listed(urls);
}

// Why the signing time refuses the document against the one accepted
// last; empty when it does not.
std::string ReplayRefusal(const SigningRecord& record, const std::optional<SigningRecord>& recorded) {
  if (!recorded) return "";
  if (record.seconds < recorded->seconds) {
    return "replayed document: signed at " + std::to_string(record.seconds) +
           ", before the one accepted here (signed at " + std::to_string(recorded->seconds) + ")";
  }
  // The same document comes at every start; another one signed in the same
  // second may be one the publisher withdrew.
  if (record.seconds == recorded->seconds && !recorded->sha256.empty() && recorded->sha256 != record.sha256) {
    return "replayed document: signed at " + std::to_string(record.seconds) +
           ", the second of the one accepted here, but its bytes differ";
  }
  return "";
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
  result.trustedComment = verification.trustedComment;
  return result;
}

DocumentVerdict JudgeSignedDocument(const std::string& requestedAddress, const std::string& trustedComment,
                                    std::string_view document, const std::optional<SigningRecord>& recorded) {
  DocumentVerdict verdict;
  const std::optional<std::uint64_t> signedAt = TrustedCommentTimestamp(trustedComment);
  if (!signedAt) {
    verdict.refusal =
        "the signature has no timestamp, so an older document could stand in for a newer one: " + std::string(kHowToSign);
    return verdict;
  }
  const std::vector<std::string_view> urls = TrustedCommentValues(trustedComment, "url");
  Sha256 hash;
  hash.Update(document);
  verdict.record = {*signedAt, hash.FinishHex(), !urls.empty()};
  verdict.refusal = ExpiryRefusal(trustedComment);
  if (verdict.refusal.empty()) verdict.refusal = AddressRefusal(requestedAddress, urls, recorded);
  if (verdict.refusal.empty()) verdict.refusal = ReplayRefusal(verdict.record, recorded);
  return verdict;
}

bool AcceptSignedDocument(const std::string& requestedAddress, platform::MessageTarget& window, const PublicKey& key,
                          std::string_view document, std::optional<SigningRecord>& accepted) {
  const DocumentSignature signature = CheckDocumentSignature(requestedAddress, document, key, window);
  if (!signature.valid) return Refused(signature.address, signature.reason);
  const std::optional<SigningRecord> recorded = RecordedSigning();
  const DocumentVerdict verdict = JudgeSignedDocument(requestedAddress, signature.trustedComment, document, recorded);
  if (!verdict.refusal.empty()) return Refused(requestedAddress, verdict.refusal);
  if (!verdict.record.addressBound) {
    LogFailure("server document", requestedAddress,
               std::string("accepted, but its signature names no address (url:); such documents are refused once "
                           "one that does is accepted here: ") + kHowToSign);
  }
  if (!recorded || !(*recorded == verdict.record)) accepted = verdict.record;
  return true;
}
