#include "build/build_options.h"

#include <map>
#include <set>

#include "base/text/ox_unicode.h"
#include "command_line.h"
#include "manifest/mirror_list.h"
#include "document/rollout_share.h"
#include "document/signature_time.h"
#include "document/server_document.h"

namespace {

constexpr unsigned kDocumentCodePage = 936;
constexpr char kDefaultFtpPort[] = "21";
const std::set<std::string> kOptionNames = {"--base-url", "--web-addr", "--block-addr",     "--dump-ftp",
                                            "--product",  "--sign",     "--also-served-at", "--expires",
                                            "--game-files", "--deltas", "--delta-level", "--mirror",
                                            "--symlinks", "--rollout"};
constexpr char kNoManifests[] = "--no-manifests";
// More than any site keeps players that far behind: a bound on the work.
constexpr int kMostDeltaReleases = 100;
// zstd's highest level.
constexpr int kMostDeltaLevel = 22;

bool IsAddress(const std::string& text) {
  if (text.empty() || !IsDocumentValue(text)) return false;
  for (const char c : text) {
    if (c < 0x21 || c > 0x7E) return false;
  }
  return true;
}

bool IsPort(const std::string& text) {
  if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  const int port = std::stoi(text);
  return port >= 1 && port <= 65535;
}

// Splits HOST[:PORT].
bool ParseDumpFtp(const std::string& value, BuildOptions& options, std::string& error) {
  const std::size_t colon = value.rfind(':');
  options.dumpFtpServer = value.substr(0, colon);
  options.dumpFtpPort = colon == std::string::npos ? kDefaultFtpPort : value.substr(colon + 1);
  if (!IsAddress(options.dumpFtpServer) || !IsPort(options.dumpFtpPort)) {
    error = "--dump-ftp takes HOST[:PORT] with a port from 1 to 65535";
    return false;
  }
  return true;
}

bool ParseProduct(const std::string& utf8, BuildOptions& options, std::string& error) {
  options.product = ox_base::Utf8ToCodePage(utf8, kDocumentCodePage);
  if (ox_base::CodePageToUtf8(options.product, kDocumentCodePage) != utf8 || !IsDocumentValue(options.product)) {
    error = "--product must be text the GBK code page can write, without quotes, \"=\", \"<\" or \">\"";
    return false;
  }
  return true;
}

// A whole number from `least` to `most`, in `number`.
bool ParseBoundedNumber(const std::string& text, int least, int most, int& number) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  number = std::stoi(text);
  return number >= least && number <= most;
}

bool ParseDeltaReleases(const std::string& text, BuildOptions& options, std::string& error) {
  if (!ParseBoundedNumber(text, 0, kMostDeltaReleases, options.deltaReleases)) {
    error = "--deltas takes a number of releases from 0 to " + std::to_string(kMostDeltaReleases);
    return false;
  }
  return true;
}

bool ParseDeltaLevel(const std::string& text, BuildOptions& options, std::string& error) {
  if (!ParseBoundedNumber(text, 1, kMostDeltaLevel, options.deltaLevel)) {
    error = "--delta-level takes a zstd level from 1 to " + std::to_string(kMostDeltaLevel);
    return false;
  }
  return true;
}

bool TakeAddress(const std::string& name, const std::string& value, std::string& address, std::string& error) {
  if (!IsAddress(value)) {
    error = name + " must be printable ASCII without spaces, quotes, \"=\", \"<\" or \">\"";
    return false;
  }
  address = value;
  return true;
}

// An absolute http or https folder address that the Mirrors value can
// hold: ";" separates the mirrors there.
bool TakeMirror(const std::string& value, BuildOptions& options, std::string& error) {
  const bool web = value.rfind("http://", 0) == 0 || value.rfind("https://", 0) == 0;
  if (!IsAddress(value) || value.find(';') != std::string::npos || !web) {
    error = "--mirror takes an http:// or https:// address without spaces, quotes, \";\", \"=\", \"<\" or \">\"";
    return false;
  }
  options.mirrors.push_back(value.back() == '/' ? value : value + "/");
  return true;
}

bool ParseSymlinks(const std::string& text, BuildOptions& options, std::string& error) {
  const std::map<std::string, SymlinkHandling> handlings = {
      {"follow", SymlinkHandling::Follow}, {"skip", SymlinkHandling::Skip}, {"refuse", SymlinkHandling::Refuse}};
  const auto handling = handlings.find(text);
  if (handling == handlings.end()) {
    error = "--symlinks takes follow, skip or refuse, not '" + text + "'";
    return false;
  }
  options.symlinks = handling->second;
  return true;
}

bool TakeOption(const std::string& name, const std::string& value, BuildOptions& options, std::string& error) {
  const std::map<std::string, std::string*> addresses = {
      {"--base-url", &options.baseUrl}, {"--web-addr", &options.webAddr}, {"--block-addr", &options.blockAddr}};
  const auto address = addresses.find(name);
  if (address != addresses.end()) return TakeAddress(name, value, *address->second, error);
  if (name == "--also-served-at") return TakeAddress(name, value, options.alsoServedAt.emplace_back(), error);
  if (name == "--mirror") return TakeMirror(value, options, error);
  if (name == "--expires") return ParseExpiryDays(value, options.expiryDays, error);
  if (name == "--dump-ftp") return ParseDumpFtp(value, options, error);
  if (name == "--product") return ParseProduct(value, options, error);
  if (name == "--deltas") return ParseDeltaReleases(value, options, error);
  if (name == "--delta-level") return ParseDeltaLevel(value, options, error);
  if (name == "--symlinks") return ParseSymlinks(value, options, error);
  if (name == "--rollout") return ParseRolloutShare(value, options.rollout, error);
  if (name == kNoManifests) {
    options.manifests = false;
    return true;
  }
  if (name == "--game-files") {
    options.gameFiles = value;
    return true;
  }
  options.signingKey = value;  // --sign
  return true;
}

}  // namespace

bool ParseBuildOptions(const std::vector<std::string>& args, BuildOptions& options, std::string& error) {
  options = {};
  CommandLine line;
  if (!SplitCommandLine(args, kOptionNames, line, error, {kNoManifests})) return false;
  for (const auto& [name, value] : line.options) {
    if (!TakeOption(name, value, options, error)) return false;
  }
  const std::vector<std::string>& positional = line.positional;
  if (positional.size() != 2) {
    error = "build takes VERSIONS and SITE";
    return false;
  }
  if (options.baseUrl.empty()) {
    error = "build needs --base-url URL, the address SITE is served under";
    return false;
  }
  while (options.baseUrl.size() > 1 && options.baseUrl.back() == '/') options.baseUrl.pop_back();
  if (!options.signingKey && (options.expiryDays || !options.alsoServedAt.empty())) {
    error = "--expires and --also-served-at go into the signature: they need --sign";
    return false;
  }
  if (!IsDocumentValue(MirrorsValue(options.mirrors))) {
    error = "the --mirror addresses take " + std::to_string(MirrorsValue(options.mirrors).size()) +
            " bytes in the document; together they must stay under 512";
    return false;
  }
  options.versions = positional[0];
  options.site = positional[1];
  return true;
}
