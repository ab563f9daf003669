#include "update/manifest/manifest_install.h"

#include <filesystem>
#include <map>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "base/files/ox_atomic_save.h"
#include "base/files/ox_letter_case.h"
#include "base/files/ox_path.h"
#include "manifest/manifest_text.h"
#include "update/gamedir/installed_files.h"
#include "update/gamedir/temporary_files.h"
#include "update/gamedir/unpacking_install.h"
#include "update/manifest/stage_folder.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"
#include "update/site/manifest_reading.h"
#include "update/site/update_documents.h"

namespace fs = std::filesystem;

namespace {

// One file the install writes: from its staged source to its place.
struct Placement {
  std::string source;
  std::string target;
  // The content's stage name, where a roll-back returns it; empty for what
  // was not fetched.
  std::string staged;
};

// The staged sources, in the plan's order: a content several files take
// is copied for all but the last of them.
bool Sources(const ManifestPlan& plan, std::vector<Placement>& placements, std::string& problem) {
  std::map<std::string, std::size_t> uses;
  for (const PlannedFile& file : plan.fetch) ++uses[file.record.sha256];
  std::size_t copies = 0;
  for (const PlannedFile& file : plan.fetch) {
    const std::string staged = StagedName(file.record.sha256);
    std::string source = staged;
    if (--uses[file.record.sha256] > 0) {
      const std::string copy = source + ".copy" + std::to_string(++copies);
      std::error_code error;
      fs::copy_file(PathOnDisk(source), PathOnDisk(copy), fs::copy_options::overwrite_existing, error);
      if (error) {
        problem = "the staged " + file.local + " cannot be copied: " + error.message();
        return false;
      }
      source = copy;
    }
    // A link the player made stays; the file it names is written.
    placements.push_back({source, ThroughLink(SpellingOnDisk(file.local)), staged});
  }
  return true;
}

bool StageKeptManifest(const ReleaseManifest& newest, Placement& placement, std::string& problem) {
  placement = {std::string(kStageFolder) + "/" + kKeptManifest, SpellingOnDisk(kKeptManifest), {}};
  return ox_base::SaveAtomically(ox_base::NativePath(placement.source), ManifestText(newest), true, problem);
}

// A file the release makes a folder of (data/maps for data/maps/x.map) that
// is still there is the player's (the plan deleted it otherwise): it goes
// aside under a name of its own, which the log gives, not into the journal.
void MovePlayersFileOutOfTheWay(const fs::path& target) {
  std::error_code error;
  for (fs::path folder = target.parent_path(); folder.has_relative_path(); folder = folder.parent_path()) {
    if (!fs::is_regular_file(fs::symlink_status(folder, error))) continue;
    fs::path kept = folder;
    kept += ".player";
    fs::rename(folder, kept, error);
    const auto named = [](const fs::path& path) {
      return ox_base::NameFromNative(path.u8string()).value_or(path.u8string());
    };
    LogFailure(named(folder), "",
               error ? "the release needs a folder here; the player's file cannot be moved aside: " + error.message()
                     : "the release needs a folder here: the player's file is kept as " + named(kept));
    return;
  }
}

bool Place(const Placement& placement, const std::string& aside, std::string& problem) {
  std::error_code error;
  const fs::path target = PathOnDisk(placement.target);
  MovePlayersFileOutOfTheWay(target);
  fs::create_directories(target.parent_path(), error);
  // A folder the release turns into a file, emptied by the deletions.
  if (fs::is_directory(fs::symlink_status(target, error))) RemoveEmptyDirectory(target.u8string());
  MoveFileAside(placement.target, aside);
  if (MoveFileAside(placement.source, placement.target)) return true;
  problem = "the staged file cannot take the place of " + placement.target;
  return false;
}

// What the install wrote is known from now on without reading it.
void RecordInstalled(const ManifestPlan& plan) {
  std::string problem;
  InstalledFiles record = InstalledFiles::Load(problem);
  for (const PlannedFile& file : plan.fetch) {
    if (const std::optional<FileStamp> stamp = StampOf(GameFilePath(file.record.name))) {
      record.Record(file.record.name, *stamp, file.record.sha256);
    }
  }
  for (const std::string& removed : plan.remove) {
    if (const std::optional<std::string> name = ox_base::NativeName(removed)) record.Forget(*name);
  }
  if (!record.Save(problem)) LogFailure(kInstalledFilesRecord, "", "cannot be saved: " + problem);
}

ArchiveInstallResult Failed(std::string problem) {
  ArchiveInstallResult result;
  result.outcome = ArchiveOutcome::Incomplete;
  result.reason = std::move(problem);
  return result;
}

ArchiveInstallResult Cancelled() {
  ArchiveInstallResult result;
  result.outcome = ArchiveOutcome::Cancelled;
  result.reason = "the launcher is ending";
  return result;
}

// InstallManifestUpdate's work, once in the unpack's mark.
ArchiveInstallResult InstallStaged(LauncherState& state, const ManifestPlan& plan,
                                   const ReleaseManifest& newest, const RecordVersion& record, PatchTransaction& run) {
  // Every folder is read once, not once per name placed in it.
  const ox_base::OxDirectoryListings listings;
  std::string problem;
  std::vector<Placement> placements;
  Placement kept;
  if (!Sources(plan, placements, problem) || !StageKeptManifest(newest, kept, problem)) return Failed(problem);
  placements.push_back(kept);
  // The deletions come first: they make room for a file that becomes a
  // folder, or a folder that becomes a file.
  std::vector<PatchTransaction::FileMove> moves;
  for (const std::string& removed : plan.remove) moves.push_back({SpellingOnDisk(removed), FreeAsideName(state.renameCounter), {}});
  const std::size_t removals = moves.size();
  for (const Placement& placement : placements) {
    moves.push_back({placement.target, FreeAsideName(state.renameCounter), placement.staged});
  }
  if (!run.PlanFiles(moves, problem)) return Failed(problem);
  for (std::size_t i = 0; i < moves.size(); ++i) {
    // The launcher's end puts back what was placed (the journal).
    if (state.progress.cancelInstall) return Cancelled();
    if (i >= removals) {
      if (!Place(placements[i - removals], moves[i].aside, problem)) return Failed(problem);
    } else if (!MoveFileAside(moves[i].name, moves[i].aside) && FileExists(moves[i].name)) {
      // A deleted file waits aside, like a replaced one, until the commit.
      return Failed(moves[i].name + " cannot be deleted");
    }
  }
  if (!record(problem)) {
    return Failed(std::string(kVersionDocumentName) + " " + problem);
  }
  run.Commit();
  RecordInstalled(plan);
  RemoveStage();
  ArchiveInstallResult done;
  done.outcome = ArchiveOutcome::Installed;
  return done;
}

}  // namespace

ArchiveInstallResult InstallManifestUpdate(LauncherState& state, const ManifestPlan& plan,
                                           const ReleaseManifest& newest, const RecordVersion& record,
                                           PatchTransaction& run) {
  return InstallWhileUnpacking(state.progress,
                               [&] { return InstallStaged(state, plan, newest, record, run); });
}
