#pragma once
// Writing one of the launcher's programs (its program or a window module,
// IsLauncherProgram) from an archive entry, whichever archive carries it
// (the launcher's own, a patch, the full package): written whole beside
// its place, checked to be a program of this platform, flushed, and only
// then moved into place, so that neither a kill nor another system's
// program (or no program at all) ever leaves a launcher that cannot start.
#include <cstdint>
#include <string>

#include "update/site/installed_entry.h"
#include "update/site/update_progress.h"
#include "zip/zip_reader.h"

// Where the new program is written before it takes its place.
std::string NewProgramName(const std::string& target);

enum class ProgramPlacement {
  Placed,     // at `target`; the file there moved aside as `aside`
  Skipped,    // not a program of this platform: logged, nothing changed
  Failed,     // `problem` says why; nothing changed
  Cancelled,  // the launcher is ending; nothing changed
};

// Writes entry `index` (read by `reader` from `archive`, stored as `name`)
// to `target` as above; the file in its way is moved aside as `aside`
// (replaced when `aside` is empty). `record` says what was done, for a
// transaction to undo.
ProgramPlacement PlaceLauncherProgram(ZipReader& reader, std::int32_t index, const std::string& archive,
                                      const std::string& name, const std::string& target, const std::string& aside,
                                      UpdateProgress& progress, InstalledEntry& record, std::string& problem);
