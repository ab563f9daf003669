#pragma once
// The key the update is verified with: the publisher's minisign public key,
// built into the program (FARLAUNCH_PUBLISHER_KEY) or read from
// publisher.pub in the game directory. Without either the update runs as it
// always did, unverified.
#include <memory>
#include <string>
#include <string_view>

struct PublicKey;

constexpr char kPublisherKeyFile[] = "publisher.pub";

// The key's Base64 line this program was built with; empty for none.
extern const char kBuiltInPublisherKey[];

struct TrustAnchor {
  // The key server documents must be signed with; none without a key.
  std::shared_ptr<const PublicKey> key;
  // Why the key that was given cannot be used. Every server document is
  // then refused: a damaged key file must not turn verification off.
  std::string problem;

  bool Verified() const { return key != nullptr || !problem.empty(); }
};

// The built-in key when there is one (a file cannot replace it), else
// publisher.pub (found whatever its letter case), else none.
TrustAnchor LoadTrustAnchor(std::string_view builtInKey);
