#include "update/site/trust_anchor.h"

#include <utility>

#include "trust/public_key.h"
#include "update/site/game_files.h"

const char kBuiltInPublisherKey[] = FARLAUNCH_PUBLISHER_KEY;

namespace {

TrustAnchor Unusable(std::string problem) {
  TrustAnchor anchor;
  anchor.problem = std::move(problem);
  return anchor;
}

TrustAnchor FromText(std::string_view text, const std::string& source) {
  const TrustResult<PublicKey> parsed = ParsePublicKey(text);
  if (!parsed.value) return Unusable(source + ": " + parsed.error);
  TrustAnchor anchor;
  anchor.key = std::make_shared<const PublicKey>(*parsed.value);
  return anchor;
}

}  // namespace

TrustAnchor LoadTrustAnchor(std::string_view builtInKey) {
  if (!builtInKey.empty()) return FromText(builtInKey, "the built-in publisher key");
  if (!FileExists(kPublisherKeyFile)) return {};
  std::string text;
  if (!ReadGameFile(kPublisherKeyFile, text)) return Unusable(std::string(kPublisherKeyFile) + " cannot be read");
  return FromText(text, kPublisherKeyFile);
}
