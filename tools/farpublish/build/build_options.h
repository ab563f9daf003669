#pragma once
// The command line of "farpublish build".
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "build/build_files.h"

struct BuildOptions {
  std::filesystem::path versions;
  std::filesystem::path site;
  // Without a trailing "/".
  std::string baseUrl;
  std::string webAddr;
  std::string blockAddr;
  std::string dumpFtpServer;
  std::string dumpFtpPort;
  // In the document's code page (GBK).
  std::string product;
  std::optional<std::filesystem::path> signingKey;
  // More addresses the signed document is served under (--also-served-at).
  std::vector<std::string> alsoServedAt;
  // How long launchers accept the signed document (--expires DAYS).
  std::optional<std::uint64_t> expiryDays;
  // How many releases before the newest its files get deltas from (--deltas K).
  int deltaReleases = 3;
  // The zstd level deltas are made at (--delta-level N): made once, fetched
  // by every player who updates.
  int deltaLevel = 19;
  // Neither manifests nor what they name (--no-manifests): for players who
  // all run the original launcher.
  bool manifests = true;
  // Where a starting updatecfg.xml for new game directories goes.
  std::optional<std::filesystem::path> gameFiles;
  // Folders holding a copy of the site that launchers may fetch objects
  // from (--mirror), each ending in "/".
  std::vector<std::string> mirrors;
  // What a symbolic link in a build becomes (--symlinks).
  SymlinkHandling symlinks = SymlinkHandling::Refuse;
  // The share of players (percent) the newest release is offered to first
  // (--rollout); every player's without one.
  std::optional<int> rollout;
};

// Reads the arguments that follow "build": VERSIONS SITE and the options,
// each given as "--name VALUE" or "--name=VALUE". False with the reason for
// a usage error: a missing or unknown argument, an address that cannot
// stand in the server document (it must be printable ASCII without quotes,
// "=", "<" or ">"), a mirror that is not an http or https folder the
// document's Mirrors value can hold, a product name the GBK code page
// cannot write, a bad port, a --deltas that is not a number of releases,
// a --delta-level that is not a zstd level from 1 to 22, a --symlinks other
// than follow, skip or refuse, or a --rollout that is not a percentage.
bool ParseBuildOptions(const std::vector<std::string>& args, BuildOptions& options, std::string& error);
