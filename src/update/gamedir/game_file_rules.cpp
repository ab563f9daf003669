#include "update/gamedir/game_file_rules.h"

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <system_error>

#include "base/files/ox_letter_case.h"
#include "update/site/game_files.h"
#include "update/site/launcher_files.h"
#include "update/site/manifest_reading.h"
#include "update/site/object_content.h"
#include "update/site/trust_files.h"

namespace {

std::string FoldedTopLevel(const std::string& name) {
  const std::string folded = FoldedFileName(name);
  return folded.substr(0, folded.find_first_of("/\\"));
}

bool IsOneOf(const std::string& folded, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (folded == ox_base::FoldLetterCase(name)) return true;
  }
  return false;
}

}  // namespace

bool IsLauncherOwned(const std::string& name) {
  const std::string top = FoldedTopLevel(name);
  if (IsLauncherProgram(top) || IsOneOf(top, {kKeptManifest, kStageFolder})) return true;
  const std::optional<LauncherFileRole> role = LauncherFileRoleOf(name);
  return role && *role != LauncherFileRole::PublisherKey && !IsOriginalTemporaryName(name);
}

bool IsSettingsFile(const std::string& name) { return IsOneOf(FoldedFileName(name), {"rh_game.ini", "cfg.ini"}); }

Removal RemovalOf(const std::string& local, const ManifestFile& listed, const InstalledFiles& known) {
  if (IsLauncherOwned(local)) return Removal::LauncherOwned;
  if (IsTrustFile(local)) return Removal::TrustFile;
  if (IsSettingsFile(local)) return Removal::PlayersFile;
  std::error_code error;
  if (std::filesystem::is_symlink(PathOnDisk(local), error)) return Removal::Link;
  return HoldsListedContent(local, listed, known) ? Removal::Delete : Removal::PlayersFile;
}

const char* KeptBecause(Removal reason) {
  switch (reason) {
    case Removal::Delete:
      break;
    case Removal::LauncherOwned:
      return "kept: the launcher's own file";
    case Removal::TrustFile:
      return "kept: the launcher's trust rests on it; an update never removes it";
    case Removal::PlayersFile:
      return "kept: the player's file (its content is not the release's), though the newest release no longer lists it";
    case Removal::Link:
      return "kept: a link the player made, though the newest release no longer lists it";
  }
  return "";
}

bool HoldsListedContent(const std::string& local, const ManifestFile& record, const InstalledFiles& known) {
  if (known.UnchangedContent(record.name) == record.sha256) return true;
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(PathOnDisk(local), error);
  return !error && size == record.size && FileSha256(PathOnDisk(local)) == record.sha256;
}
