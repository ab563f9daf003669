#include "document/site_resign.h"

#include <fstream>
#include <sstream>

#include "base/files/ox_atomic_save.h"
#include "command_line.h"
#include "document/publisher_key.h"
#include "document/rollout_share.h"
#include "document/signature_time.h"
#include "trust/signature_check.h"
#include "trust/signature_file.h"
#include "trust/signing.h"
#include "trust/utc_date.h"
#include "document/server_document.h"

namespace fs = std::filesystem;

namespace {

constexpr char kSignatureName[] = "servercfg.xml.minisig";

bool ReadWhole(const fs::path& path, std::string& bytes, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in) {
    error = "cannot read " + path.string();
    return false;
  }
  bytes = text.str();
  return true;
}

// The current signature, once it is found to be the key's own signature of
// the document.
bool ReadCurrentSignature(const SecretKey& key, const std::string& document, const fs::path& site,
                          Verification& current, std::string& error) {
  std::string signature;
  if (!ReadWhole(site / kSignatureName, signature, error)) return false;
  current = VerifySignature(key.Public(), document, signature);
  if (!current.Valid()) {
    error = kSignatureName + std::string(" is not this key's signature of the document (") + current.reason + ")";
  }
  return current.Valid();
}

bool CurrentAddresses(const Verification& current, std::vector<std::string>& urls, std::string& error) {
  for (const std::string_view url : TrustedCommentValues(current.trustedComment, "url")) urls.emplace_back(url);
  if (urls.empty()) error = kSignatureName + std::string(" names no address; give --base-url");
  return !urls.empty();
}

// The current signature's expiry moved on by the time between its signing
// and `now`, so that a daily job keeps freeze protection as it was set up.
bool KeptExpiry(const Verification& current, std::uint64_t now, std::optional<std::uint64_t>& expires,
                std::string& error) {
  const std::optional<std::uint64_t> until = TrustedCommentSeconds(current.trustedComment, "expires");
  if (!until) return true;
  if (!current.timestamp || *until <= *current.timestamp) {
    error = kSignatureName + std::string(" expires no later than it was signed, which gives no period to keep; ") +
            "give --expires DAYS";
    return false;
  }
  expires = now + (*until - *current.timestamp);
  return true;
}

}  // namespace

bool ParseResignOptions(const std::vector<std::string>& args, ResignOptions& options, std::string& error) {
  options = {};
  CommandLine line;
  if (!SplitCommandLine(args, {"--key", "--expires", "--base-url", "--also-served-at", "--rollout"}, line, error)) {
    return false;
  }
  bool keyGiven = false;
  for (const auto& [name, value] : line.options) {
    if (name == "--key") {
      options.signingKey = value;
      keyGiven = true;
    } else if (name == "--expires") {
      options.withoutExpiry = value == "0";
      if (!options.withoutExpiry && !ParseExpiryDays(value, options.expiryDays, error)) return false;
    } else if (name == "--base-url") {
      options.baseUrl = value;
    } else if (name == "--rollout") {
      if (!ParseRolloutShare(value, options.rollout, error)) return false;
    } else {
      options.alsoServedAt.push_back(value);
    }
  }
  if (line.positional.size() != 1 || !keyGiven) {
    error = "resign takes SITE and --key KEY";
    return false;
  }
  if (options.baseUrl.empty() && !options.alsoServedAt.empty()) {
    error = "--also-served-at needs --base-url";
    return false;
  }
  while (options.baseUrl.size() > 1 && options.baseUrl.back() == '/') options.baseUrl.pop_back();
  options.site = line.positional[0];
  return true;
}

bool ResignSite(const ResignOptions& options, std::ostream& out, std::ostream& err) {
  std::string error;
  std::string document;
  std::optional<SecretKey> key;
  SignedFields fields{kServerDocumentName, SigningTimeNow()};
  fields.expires = ExpiryOf(fields.timestamp, options.expiryDays);
  if (!options.baseUrl.empty()) {
    fields.urls.push_back(options.baseUrl + "/" + kServerDocumentName);
    fields.urls.insert(fields.urls.end(), options.alsoServedAt.begin(), options.alsoServedAt.end());
  }
  bool signedAgain = ReadWhole(options.site / kServerDocumentName, document, error) &&
                     LoadPublisherKey(options.signingKey, key, error);
  Verification current;
  std::string unknownCurrent;
  const bool knowsCurrent = signedAgain && ReadCurrentSignature(*key, document, options.site, current, unknownCurrent);
  if (signedAgain && fields.urls.empty()) {
    error = unknownCurrent + "; give --base-url";
    signedAgain = knowsCurrent && CurrentAddresses(current, fields.urls, error);
  }
  const bool keepsExpiry = !options.expiryDays && !options.withoutExpiry;
  if (signedAgain && keepsExpiry && knowsCurrent) {
    signedAgain = KeptExpiry(current, fields.timestamp, fields.expires, error);
  }
  if (signedAgain && options.rollout) {
    signedAgain = WithRolloutShare(document, *options.rollout, document, error);
  }
  if (signedAgain) {
    // The document changes only once its new signature is made.
    const TrustResult<std::string> signature = SignDocument(*key, document, fields);
    error = signature.error;
    signedAgain =
        signature.value &&
        (!options.rollout ||
         ox_base::SaveAtomically((options.site / kServerDocumentName).string(), document, false, error)) &&
        ox_base::SaveAtomically((options.site / kSignatureName).string(), *signature.value, false, error);
  }
  if (!signedAgain) {
    err << "farpublish: " << error << "\n";
    return false;
  }
  if (options.withoutExpiry) {
    err << "farpublish: warning: signed without an expiry (--expires 0): launchers accept this document for "
           "ever, so one held back from them (a frozen update) goes unnoticed\n";
  } else if (keepsExpiry && !knowsCurrent) {
    err << "farpublish: warning: signed without an expiry: the expiry of the current signature is not known ("
        << unknownCurrent << "); give --expires DAYS to keep one\n";
  }
  out << "wrote " << kSignatureName << " (signed " << UtcDate(fields.timestamp)
      << (fields.expires ? ", expires " + UtcDate(*fields.expires) : std::string(", does not expire")) << ")\n";
  return true;
}
