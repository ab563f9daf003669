#pragma once
// Each release's manifest on the site: every file the build installs, its
// object stored, the text compressed and published under
// manifests/<sha256 of the compressed bytes>, which names it for ever.
#include <filesystem>
#include <string>
#include <vector>

#include "build/delta_store.h"
#include "build/object_store.h"
#include "build/release_plan.h"
#include "build/site_staging.h"
#include "trust/file_digest.h"

struct PublishedManifest {
  std::string name;     // "manifests/<sha256>"
  std::string address;  // absolute
  FileDigest digest;    // of the compressed bytes
  // Already published in SITE, and kept as it is.
  bool kept = false;
};

// Whether the manifest lists `file`: not the launcher's state, and not the
// launcher's own programs (farLaunch.exe, farLaunch) or window modules:
// its own items update them.
bool InManifest(const BuildFile& file);

// One manifest per build, in the order of `builds`, each file's object
// added to `objects`; the newest build's files get their deltas from
// `deltas`. False with the reason when a file cannot be read or a
// published object or manifest is not what its name says.
bool PublishManifests(const std::vector<ClientBuild>& builds, const std::string& baseUrl,
                      const std::filesystem::path& site, SiteStaging& staging, ObjectStore& objects,
                      DeltaStore& deltas, std::vector<PublishedManifest>& manifests, std::string& error);
