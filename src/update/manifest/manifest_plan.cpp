#include "update/manifest/manifest_plan.h"

#include <map>
#include <optional>
#include <set>

#include "base/files/ox_letter_case.h"
#include "base/files/ox_path.h"
#include "update/gamedir/game_file_rules.h"
#include "update/gamedir/installed_files.h"
#include "update/site/game_files.h"
#include "update/site/trust_files.h"

namespace {

bool SameLine(const ManifestFile& a, const ManifestFile& b) { return a.size == b.size && a.sha256 == b.sha256; }

}  // namespace

bool PlanManifestUpdate(const ReleaseManifest* installed, const ReleaseManifest& newest, bool verified,
                        const std::set<std::string>& repair, ManifestPlan& plan, std::string& problem) {
  plan = ManifestPlan{};
  // Every folder is read once, not once per name looked up in it.
  const ox_base::OxDirectoryListings listings;
  std::set<std::string> damaged;
  for (const std::string& name : repair) damaged.insert(ox_base::FoldLetterCase(name));
  std::map<std::string, const ManifestFile*> before;
  if (installed != nullptr) {
    for (const ManifestFile& file : installed->files) before.emplace(ox_base::FoldLetterCase(file.name), &file);
  }
  // A record that does not read only means that every file is hashed.
  std::string unreadRecord;
  const InstalledFiles known = InstalledFiles::Load(unreadRecord);
  std::set<std::string> listed;
  std::set<std::string> objects;
  for (const ManifestFile& file : newest.files) {
    const std::optional<std::string> local = ox_base::NameFromNative(file.name);
    if (!local || !IsInsideGameDirectory(*local)) {
      problem = "the file name " + file.name + (local ? " leaves the game directory" : " has no form in the code page");
      return false;
    }
    listed.insert(ox_base::FoldLetterCase(file.name));
    if (IsLauncherOwned(*local)) continue;
    if (!verified && IsTrustFile(*local)) {
      plan.refusedTrustFiles.push_back({file, *local});
      continue;
    }
    bool fetch = damaged.count(ox_base::FoldLetterCase(file.name)) > 0 || !FileExists(*local);
    if (!fetch && installed != nullptr) {
      const auto line = before.find(ox_base::FoldLetterCase(file.name));
      fetch = line == before.end() || !SameLine(*line->second, file);
    } else if (!fetch) {
      // Without the installed release's line, a settings file that is there
      // is the player's.
      fetch = !IsSettingsFile(*local) && !HoldsListedContent(*local, file, known);
    }
    if (!fetch) continue;
    plan.fetch.push_back({file, *local});
    if (objects.insert(file.sha256).second) plan.bytesToFetch += file.storedSize;
  }
  for (const auto& [folded, file] : before) {
    const std::optional<std::string> local = ox_base::NameFromNative(file->name);
    if (!local || listed.count(folded) > 0 || !FileExists(*local)) continue;
    const Removal removal = RemovalOf(*local, *file, known);
    if (removal == Removal::Delete) {
      plan.remove.push_back(*local);
    } else if (removal != Removal::LauncherOwned) {
      plan.kept.push_back({*local, removal});
    }
  }
  return true;
}
