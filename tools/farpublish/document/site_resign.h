#pragma once
// "farpublish resign": signs a site's current server document again, with a
// new timestamp and expiry, without touching its archives. What a publisher
// runs from a daily job to keep a document with --expires fresh.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct ResignOptions {
  std::filesystem::path site;
  std::filesystem::path signingKey;
  // Without either, the new signature keeps the current one's period from
  // signing to expiry.
  std::optional<std::uint64_t> expiryDays;
  bool withoutExpiry = false;  // --expires 0
  // Replace the addresses the current signature names (then
  // URL/servercfg.xml and every --also-served-at).
  std::string baseUrl;
  std::vector<std::string> alsoServedAt;
  // A new share of players for the newest release (--rollout), written into
  // the document before it is signed; without it the document stays as it is.
  std::optional<int> rollout;
};

// Reads the arguments that follow "resign": SITE --key KEY [--expires DAYS]
// [--base-url URL [--also-served-at URL]...] [--rollout PERCENT]. False
// with the reason for a usage error.
bool ParseResignOptions(const std::vector<std::string>& args, ResignOptions& options, std::string& error);

// Replaces SITE/servercfg.xml.minisig. Without --base-url the addresses are
// those of the current signature, which must be valid under the key;
// without --expires so is its expiry period, applied from now. With
// --rollout, SITE/servercfg.xml first takes the new share. A signature
// made without an expiry is warned about on `err`. False, with the reason
// on `err`, when nothing was signed.
bool ResignSite(const ResignOptions& options, std::ostream& out, std::ostream& err);
