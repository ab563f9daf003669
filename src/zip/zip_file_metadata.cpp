#include "zip/zip_file_metadata.h"

#include <system_error>

#include "base/ox_file_times.h"
#include "zip/zip_times.h"

namespace fs = std::filesystem;

void ApplyFileMetadata(const fs::path& file, const ZipEntry& entry,
                       std::optional<unsigned> unixPermissions, bool setTime) {
  if (setTime) {
    ox_base::SetLastWriteTime(file.string(), FileTimeToUnixTime(entry.modificationTime));
  }
  std::error_code ignored;
  if (unixPermissions) {
    fs::permissions(file, static_cast<fs::perms>(*unixPermissions), fs::perm_options::replace,
                    ignored);
  }
  if (entry.attributes & kAttributeReadOnly) {
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove, ignored);
  }
}
