#include "update/manifest_plan.h"

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <system_error>

#include "base/ox_letter_case.h"
#include "base/ox_path.h"
#include "update/game_files.h"
#include "update/installed_files.h"
#include "update/launcher_files.h"
#include "update/manifest_reading.h"
#include "update/manifest_staging.h"
#include "update/object_content.h"
#include "update/trust_files.h"

namespace {

// The launcher's program and modules are the launcher item's to replace;
// its records and temporaries are its own.
bool IsLaunchersOwn(const std::string& local) {
  const std::string top = ox_base::FoldLetterCase(local.substr(0, local.find_first_of("/\\")));
  // kLauncherProgram without its ".\" prefix.
  for (const char* own :
       {kLauncherProgram + 2, FARLAUNCH_WINDOW_MODULE, FARLAUNCH_WEB_MODULE, kKeptManifest, kStageFolder}) {
    if (top == ox_base::FoldLetterCase(own)) return true;
  }
  const std::optional<LauncherFileRole> role = LauncherFileRoleOf(local);
  return role && *role != LauncherFileRole::PublisherKey;
}


// The player's file is the record's content: as the record of installed
// files vouches (its size and time unchanged since the launcher installed
// or verified it), else by the same size, then the same hash.
bool HoldsContent(const std::string& local, const ManifestFile& record, const InstalledFiles& known) {
  if (known.UnchangedContent(record.name) == record.sha256) return true;
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(PathOnDisk(local), error);
  return !error && size == record.size && FileSha256(PathOnDisk(local)) == record.sha256;
}

bool SameLine(const ManifestFile& a, const ManifestFile& b) { return a.size == b.size && a.sha256 == b.sha256; }

}  // namespace

bool PlanManifestUpdate(const ReleaseManifest* installed, const ReleaseManifest& newest, bool verified,
                        const std::set<std::string>& repair, ManifestPlan& plan, std::string& problem) {
  plan = ManifestPlan{};
  std::set<std::string> damaged;
  for (const std::string& name : repair) damaged.insert(ox_base::FoldLetterCase(name));
  std::map<std::string, const ManifestFile*> before;
  if (installed != nullptr) {
    for (const ManifestFile& file : installed->files) before.emplace(ox_base::FoldLetterCase(file.name), &file);
  }
  // A record that does not read only means that every file is hashed.
  std::string unreadRecord;
  const InstalledFiles known = installed == nullptr ? InstalledFiles::Load(unreadRecord) : InstalledFiles();
  std::set<std::string> kept;
  std::set<std::string> objects;
  for (const ManifestFile& file : newest.files) {
    const std::optional<std::string> local = ox_base::NameFromNative(file.name);
    if (!local || !IsInsideGameDirectory(*local)) {
      problem = "the file name " + file.name + (local ? " leaves the game directory" : " has no form in the code page");
      return false;
    }
    kept.insert(ox_base::FoldLetterCase(file.name));
    if (IsLaunchersOwn(*local)) continue;
    if (!verified && IsTrustFile(*local)) {
      plan.refusedTrustFiles.push_back({file, *local});
      continue;
    }
    bool fetch = damaged.count(ox_base::FoldLetterCase(file.name)) > 0 || !FileExists(*local);
    if (!fetch && installed != nullptr) {
      const auto line = before.find(ox_base::FoldLetterCase(file.name));
      fetch = line == before.end() || !SameLine(*line->second, file);
    } else if (!fetch) {
      fetch = !HoldsContent(*local, file, known);
    }
    if (!fetch) continue;
    plan.fetch.push_back({file, *local});
    if (objects.insert(file.sha256).second) plan.bytesToFetch += file.storedSize;
  }
  for (const auto& [folded, file] : before) {
    const std::optional<std::string> local = ox_base::NameFromNative(file->name);
    if (!local || kept.count(folded) > 0 || IsLaunchersOwn(*local) || (!verified && IsTrustFile(*local)) ||
        !FileExists(*local)) {
      continue;
    }
    plan.remove.push_back(*local);
  }
  return true;
}
