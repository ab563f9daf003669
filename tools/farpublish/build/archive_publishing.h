#pragma once
// Makes one planned archive ready to publish: the one already in SITE, or a
// new one.
#include <filesystem>
#include <string>

#include "trust/file_digest.h"
#include "build/release_plan.h"
#include "build/site_staging.h"

struct PreparedArchive {
  FileDigest digest;
  // Already published in SITE, and kept as it is.
  bool kept = false;
};

// When SITE holds a file of the plan's name, that file is published: players
// and caches may hold it, so it is never rewritten. It is kept when it holds
// exactly the planned entries (compared by name and bytes, which also holds
// when another zlib compressed them differently), and refused otherwise.
// Without such a file the archive is written into `staging`. False with the
// reason when an existing archive differs or nothing can be read or written.
bool PrepareArchive(const ArchivePlan& plan, const std::filesystem::path& site, SiteStaging& staging,
                    PreparedArchive& prepared, std::string& error);
