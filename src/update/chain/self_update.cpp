#include "update/chain/self_update.h"

#include "update/gamedir/temporary_files.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"
#include "update/site/launcher_program_entry.h"
#include "update/site/trust_files.h"
#include "zip/zip_reader.h"

ArchiveInstallResult InstallLauncherArchive(LauncherState& state, const std::string& archive,
                                            PatchTransaction& entry) {
  ArchiveInstallResult result;
  ZipReader reader;
  const ZipResult opened = reader.Open(archive);
  if (opened != ZipResult::Ok) {
    result.reason = archive + " is not a readable zip archive (" + ZipResultText(opened) + ")";
    return result;
  }
  // Only entry 0 is the launcher.
  ZipEntry first;
  const ZipResult described = reader.GetItem(0, first);
  result.outcome = ArchiveOutcome::Incomplete;
  if (described != ZipResult::Ok) {
    result.reason = std::string(ZipResultText(described)) + " in entry 0";
    return result;
  }
  if (!IsInsideGameDirectory(first.name)) {
    result.reason = first.name + " would leave the game directory";
    return result;
  }
  // A skipped entry is no new launcher to restart into.
  if (!state.Verified() && IsTrustFile(first.name)) {
    LogFailure(first.name, archive, kUnverifiedTrustFile);
    result.outcome = ArchiveOutcome::Installed;
    return result;
  }
  // The new launcher is written whole beside the running one, and only
  // then takes its place: a kill never leaves half a launcher.
  const std::string target = SpellingOnDisk(first.name);
  const std::string aside = state.selfUpdated ? FreeAsideName(state.renameCounter) : std::string(kLauncherAsideName);
  if (!entry.PlanFile(NewProgramName(target), FreeAsideName(state.renameCounter), result.reason) ||
      !entry.PlanFile(target, aside, result.reason)) {
    result.outcome = ArchiveOutcome::Unreadable;
    return result;
  }
  InstalledEntry record;
  switch (PlaceLauncherProgram(reader, 0, archive, first.name, target, aside, state.progress, record, result.reason)) {
    case ProgramPlacement::Cancelled:
      result.outcome = ArchiveOutcome::Cancelled;
      return result;
    case ProgramPlacement::Skipped:
      result.outcome = ArchiveOutcome::Installed;
      return result;
    case ProgramPlacement::Failed:
      if (!record.writtenAs.empty()) result.entries.push_back(record);
      return result;
    case ProgramPlacement::Placed:
      result.entries.push_back(record);
      break;
  }
  result.outcome = ArchiveOutcome::Installed;
  state.selfUpdated = true;
  return result;
}
