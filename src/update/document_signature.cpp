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

bool AcceptSignedDocument(const LauncherState& state, platform::Platform& platform, const PublicKey& key,
                          std::string_view document, std::optional<std::uint64_t>& newer) {
  const std::string address = state.UpdateServerAddr + kSignatureSuffix;
  const DownloadResult download =
      HttpDownloader::DownloadFile(address, kDownloadedSignature, platform.GetUiThread(), kSignatureFetch);
  std::string signature;
  const bool read = download && ReadGameFile(kDownloadedSignature, signature);
  DeleteFileIfPresent(kDownloadedSignature);
  if (!download) return Refused(address, "no signature: " + download.reason);
  if (!read) return Refused(address, "the downloaded signature cannot be read back");

  const Verification verification = VerifySignature(key, document, signature);
  if (!verification.Valid()) return Refused(state.UpdateServerAddr, "signature refused: " + verification.reason);
  // A document signed without minisign's timestamp cannot be ordered; it
  // is accepted, and the record stays as it is.
  if (!verification.timestamp) return true;
  const std::optional<std::uint64_t> recorded = RecordedSigningTime();
  // The same document comes at every start: equal times are accepted.
  if (recorded && *verification.timestamp < *recorded) {
    return Refused(state.UpdateServerAddr, "replayed document: signed at " + std::to_string(*verification.timestamp) +
                                               ", before the one accepted here (signed at " +
                                               std::to_string(*recorded) + ")");
  }
  if (!recorded || *verification.timestamp > *recorded) newer = verification.timestamp;
  return true;
}
