#include "build/archive_publishing.h"

#include <system_error>

#include "build/archive_contents.h"
#include "build/zip_writer.h"

namespace fs = std::filesystem;

bool PrepareArchive(const ArchivePlan& plan, const fs::path& site, SiteStaging& staging, PreparedArchive& prepared,
                    std::string& error) {
  const fs::path published = site / plan.fileName;
  std::error_code failure;
  prepared.kept = fs::exists(fs::symlink_status(published, failure));
  if (prepared.kept) {
    std::string detail;
    if (!ArchiveHolds(published, plan.entries, detail)) {
      error = published.string() + " is published already but is not what the builds give now (" + detail +
              "); a published archive never changes: restore the build folders, or publish the change as a " +
              "new build";
      return false;
    }
    return DigestFile(published, prepared.digest, error);
  }
  const fs::path staged = staging.Stage(plan.fileName);
  return WriteArchive(staged, plan.entries, error) && DigestFile(staged, prepared.digest, error);
}
