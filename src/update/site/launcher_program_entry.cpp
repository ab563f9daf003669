#include "update/site/launcher_program_entry.h"

#include <filesystem>
#include <system_error>

#include "base/files/ox_flush.h"
#include "base/files/ox_path.h"
#include "update/site/executable_format.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"

namespace {

// Archives carry no Unix permissions we trust; the new program must start.
void MakeExecutable(const std::string& name) {
  std::error_code error;
  std::filesystem::permissions(
      ox_base::NativeFilesystemPath(ox_base::NativePath(name)),
      std::filesystem::perms::owner_exec | std::filesystem::perms::group_exec | std::filesystem::perms::others_exec,
      std::filesystem::perm_options::add, error);
}

}  // namespace

std::string NewProgramName(const std::string& target) { return target + ".new"; }

ProgramPlacement PlaceLauncherProgram(ZipReader& reader, std::int32_t index, const std::string& archive,
                                      const std::string& name, const std::string& target, const std::string& aside,
                                      UpdateProgress& progress, InstalledEntry& record, std::string& problem) {
  const std::string written = NewProgramName(target);
  const ZipResult extracted = reader.ExtractItem(index, written, progress.extractedBytes, progress.cancelInstall);
  std::string ignored;
  if (extracted != ZipResult::Ok) {
    RemoveFileAt(written, ignored);
    problem = (reader.Problem().empty() ? std::string(ZipResultText(extracted)) : reader.Problem()) + " writing " + name;
    return extracted == ZipResult::Cancelled ? ProgramPlacement::Cancelled : ProgramPlacement::Failed;
  }
  // One site serves every platform's launcher: another system's program
  // in place of this one would never start again.
  const ExecutableFormat format = ExecutableFormatOfFile(written);
  if (format != OwnExecutableFormat()) {
    RemoveFileAt(written, ignored);
    LogFailure(name, archive, name + " is not a launcher for this platform (" + FormatDescription(format) + ", not " +
                                  FormatDescription(OwnExecutableFormat()) + "): skipped");
    return ProgramPlacement::Skipped;
  }
  MakeExecutable(written);
  if (!ox_base::FlushFile(ox_base::NativePath(written))) {
    RemoveFileAt(written, ignored);
    problem = "the new program " + written + " cannot be flushed to the disk";
    return ProgramPlacement::Failed;
  }
  record.name = name;
  record.writtenAs = target;
  if (!aside.empty() && MoveFileAside(target, aside)) record.movedAsideAs = aside;
  record.extracted = MoveFileAside(written, target);
  record.written = record.extracted;
  ox_base::FlushFolderOf(ox_base::NativePath(target));
  if (!record.written) {
    problem = "the new program cannot take the place of " + target;
    return ProgramPlacement::Failed;
  }
  return ProgramPlacement::Placed;
}
