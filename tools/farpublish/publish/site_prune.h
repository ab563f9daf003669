#pragma once
// "farpublish prune": removes what a built site no longer needs.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct PruneOptions {
  std::filesystem::path site;
  // The newest releases whose manifests keep their objects and deltas.
  std::size_t keep = 0;
  // Only say what would go.
  bool dryRun = false;
  // The publisher's public key: the document must carry its signature.
  std::optional<std::filesystem::path> publicKey;
};

// Reads the arguments that follow "prune": SITE, "--keep N", "--dry-run"
// and "--key FILE". False with the reason for a usage error.
bool ParsePruneOptions(const std::vector<std::string>& args, PruneOptions& options, std::string& error);

// Removes the archives (SITE/*.zip), manifests, objects and deltas that the
// document names nowhere and that no manifest of its newest `keep` entries
// lists; every other file stays. Names each file removed (or, dry, that
// would be) with its size on `out`, then the bytes freed; the reason it
// stops on `err`. Removes nothing when the document, its signature (with a
// key) or a kept manifest does not read. False when it failed.
bool PruneSite(const PruneOptions& options, std::ostream& out, std::ostream& err);
