#include "zip/zip_file_metadata.h"

#include "zip/zip_times.h"

void ApplyFileMetadata(ox_base::OutputFile& file, const ZipEntry& entry, std::optional<unsigned> unixPermissions,
                       bool setTime) {
  if (setTime) file.SetLastWriteTime(FileTimeToUnixTime(entry.modificationTime));
  if (unixPermissions) file.SetPermissions(*unixPermissions);
  if (entry.attributes & kAttributeReadOnly) file.RemoveWritePermission();
}
