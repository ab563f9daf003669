#pragma once
// Carries an entry's attributes and modification time over to its file.
#include <optional>

#include "base/files/ox_output_file.h"
#include "zip/zip_entry.h"

// Sets the file's last-write time to the entry's modification time (when
// `setTime`), then its permissions: the Unix permission bits when the
// archive recorded them, and no write permission at all for a read-only
// entry. Failures are not reported: the content is what matters.
void ApplyFileMetadata(ox_base::OutputFile& file, const ZipEntry& entry, std::optional<unsigned> unixPermissions,
                       bool setTime);
