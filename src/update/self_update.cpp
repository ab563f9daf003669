#include "update/self_update.h"

#include <filesystem>
#include <system_error>

#include "base/ox_flush.h"
#include "base/ox_path.h"
#include "base/ox_unicode.h"
#include "update/executable_format.h"
#include "update/failure_log.h"
#include "update/game_files.h"
#include "update/trust_files.h"
#include "update/unpack_journal.h"
#include "update/update_workflow.h"
#include "update/window_controls.h"
#include "zip/zip_reader.h"

namespace {

// Where the new launcher is written before it takes its place.
constexpr char kNewLauncherSuffix[] = ".new";

// Archives carry no Unix permissions we trust; the new launcher must start.
void MakeExecutable(const std::string& name) {
  std::error_code error;
  std::filesystem::permissions(
      ox_base::NativeFilesystemPath(ox_base::NativePath(name)),
      std::filesystem::perms::owner_exec | std::filesystem::perms::group_exec | std::filesystem::perms::others_exec,
      std::filesystem::perm_options::add, error);
}

}  // namespace

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
  const std::string written = target + kNewLauncherSuffix;
  const std::string aside = state.selfUpdated ? FreeAsideName(state) : std::string(kLauncherAsideName);
  if (!entry.PlanFile(written, FreeAsideName(state), result.reason) || !entry.PlanFile(target, aside, result.reason)) {
    result.outcome = ArchiveOutcome::Unreadable;
    return result;
  }
  const ZipResult extracted =
      reader.ExtractItem(0, written, state.progress.extractedBytes, state.progress.cancelInstall);
  std::string problem;
  if (extracted != ZipResult::Ok) {
    RemoveFileAt(written, problem);
    result.outcome = extracted == ZipResult::Cancelled ? ArchiveOutcome::Cancelled : ArchiveOutcome::Incomplete;
    result.reason = (reader.Problem().empty() ? std::string(ZipResultText(extracted)) : reader.Problem()) + " writing " + first.name;
    return result;
  }
  // One site serves every platform's launcher: another system's program
  // in place of this one would never start again.
  const ExecutableFormat format = ExecutableFormatOfFile(written);
  if (format != OwnExecutableFormat()) {
    RemoveFileAt(written, problem);
    LogFailure(first.name, archive, first.name + " is not a launcher for this platform (" + FormatDescription(format) +
                                        ", not " + FormatDescription(OwnExecutableFormat()) + "): skipped");
    result.outcome = ArchiveOutcome::Installed;
    return result;
  }
  MakeExecutable(written);
  if (!ox_base::FlushFile(ox_base::NativePath(written))) {
    RemoveFileAt(written, problem);
    result.reason = "the new launcher " + written + " cannot be flushed to the disk";
    return result;
  }
  InstalledEntry record;
  record.name = first.name;
  record.writtenAs = target;
  if (MoveFileAside(target, aside)) record.movedAsideAs = aside;
  record.extracted = MoveFileAside(written, target);
  record.written = record.extracted;
  ox_base::FlushFolderOf(ox_base::NativePath(target));
  result.entries.push_back(record);
  if (!record.written) {
    result.reason = "the new launcher cannot take the place of " + target;
    return result;
  }
  result.outcome = ArchiveOutcome::Installed;
  state.selfUpdated = true;
  return result;
}

void RestartLauncher(LauncherState& state, platform::Platform& platform, const std::string& message) {
  // An unpack under way is stopped first; the next tick comes back.
  if (!state.progress.TryClaimTheEnd()) {
    state.progress.cancelInstall = true;
    return;
  }
  PutBackUnfinishedEntry("the launcher restarted before it finished");
  CleanTempFiles(state);
  platform.GetUiThread().StopTimer(kStatusTimer);
  platform.GetDialogs().ShowMessage(message);
  const platform::StartResult restarted = platform.GetShell().StartProgram(kLauncherProgram, state.ends.restartParameters);
  if (!restarted) {
    LogFailure("restart", kLauncherProgram, ox_base::Utf8ToCodePage(restarted.problem, ox_base::kLauncherCodePage));
    platform.GetSystem().Exit(state.ends.failureExitCode);
  }
  platform.GetSystem().Exit(0);
}
