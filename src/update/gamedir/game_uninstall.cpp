#include "update/gamedir/game_uninstall.h"

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <system_error>

#include "base/files/ox_letter_case.h"
#include "base/files/ox_path.h"
#include "update/gamedir/game_file_rules.h"
#include "update/gamedir/installed_files.h"
#include "update/gamedir/launcher_state.h"
#include "update/gamedir/partial_downloads.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"
#include "update/site/launcher_files.h"
#include "update/site/manifest_reading.h"
#include "update/site/trust_files.h"

namespace fs = std::filesystem;

namespace {

constexpr char kRunningProgram[] = "the running program: removed after it ends, by the uninstaller or by hand";

// A folder on the way to `name` that is a link: removing through it would
// reach outside the game directory.
bool ReachedThroughLink(const std::string& name) {
  for (std::size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', slash + 1)) {
    std::error_code error;
    if (fs::is_symlink(PathOnDisk(name.substr(0, slash)), error)) return true;
  }
  return false;
}

// The folders above `name`, innermost first.
std::vector<std::string> FoldersAbove(const std::string& name) {
  std::vector<std::string> folders;
  for (std::size_t slash = name.rfind('/'); slash != std::string::npos && slash > 0;
       slash = name.rfind('/', slash - 1)) {
    folders.push_back(name.substr(0, slash));
  }
  return folders;
}

bool IsLogOrLock(const std::string& name) {
  const std::string folded = ox_base::FoldLetterCase(name);
  const std::string log = ox_base::FoldLetterCase(kFailureLogName);
  return folded.compare(0, log.size(), log) == 0 || folded == ox_base::FoldLetterCase(kInstanceLockFile);
}

class Uninstall {
 public:
  GameUninstall Run() {
    RemoveReleaseFiles();
    RemoveLauncherFiles();
    // Innermost first: a folder that held only an emptied folder goes too.
    for (auto folder = emptiedFolders_.rbegin(); folder != emptiedFolders_.rend(); ++folder) {
      RemoveEmptyDirectory(ox_base::NativePath(*folder));
    }
    return std::move(result_);
  }

 private:
  // `local` in the code page for the log and the game directory's
  // functions, `shown` in UTF-8.
  void Keep(const std::string& local, const std::string& shown, const std::string& why) {
    LogFailure(local, "", "kept: " + why);
    result_.kept.push_back({shown, why});
  }

  void Remove(const std::string& local, const std::string& shown) {
    std::string problem;
    if (!RemoveFileAt(local, problem)) {
      LogFailure(local, "", "cannot be removed: " + problem);
      result_.failed.push_back({shown, problem});
      return;
    }
    ++result_.removed;
    for (const std::string& folder : FoldersAbove(local)) emptiedFolders_.insert(folder);
  }

  void RemoveReleaseFiles() {
    ReleaseManifest manifest;
    std::string reason;
    if (!FileExists(kKeptManifest)) {
      result_.gameFilesStay = "the game keeps no installed release's manifest: its files stay";
    } else if (!ReadManifestText(ox_base::NativeFilesystemPath(kKeptManifest), manifest, reason)) {
      result_.gameFilesStay = std::string(kKeptManifest) + " is no manifest (" + reason + "): the game's files stay";
    }
    if (!result_.gameFilesStay.empty()) {
      LogFailure("farLaunch.exe --uninstall", "", result_.gameFilesStay);
      return;
    }
    LogFailure("farLaunch.exe --uninstall", "", "the files release " + manifest.packageCode +
                                                    " does not list stay: the player's");
    std::string problem;
    const InstalledFiles known = InstalledFiles::Load(problem);
    for (const ManifestFile& file : manifest.files) {
      // The game directory's functions take the code page's form; a name
      // without one was never installed here.
      const std::optional<std::string> local = ox_base::NameFromNative(file.name);
      if (!local || !IsInsideGameDirectory(*local) || !FileExists(*local)) continue;
      if (ReachedThroughLink(*local)) {
        Keep(*local, file.name, "reached through a link the player made, which is never followed");
        continue;
      }
      switch (RemovalOf(*local, file, known)) {
        case Removal::Delete:
          Remove(*local, file.name);
          break;
        case Removal::LauncherOwned:
        case Removal::TrustFile:
          break;  // the launcher's own: RemoveLauncherFiles
        case Removal::PlayersFile:
          Keep(*local, file.name,
               IsSettingsFile(*local) ? "the player's settings" : "changed since it was installed: the player's");
          break;
        case Removal::Link:
          Keep(*local, file.name, "a link the player made");
          break;
      }
    }
  }

  // The top level's files the launcher owns, its publisher's key and the
  // stage folder with what it holds. The log stays: it says what was kept
  // and why; so does the lock this run holds.
  void RemoveLauncherFiles() {
    CleanUnneededPartials(LauncherState{});
    std::map<std::string, std::string> names;  // code page -> UTF-8
    std::error_code error;
    for (fs::directory_iterator it(".", error), end; !error && it != end; it.increment(error)) {
      const std::string native = it->path().filename().u8string();
      if (const auto name = ox_base::NameFromNative(native)) names[*name] = native;
    }
    for (const auto& [name, shown] : names) {
      const std::optional<LauncherFileRole> role = LauncherFileRoleOf(name);
      if (!IsLauncherOwned(name) && !IsTrustFile(name) && role != LauncherFileRole::PublisherKey) continue;
      if (IsLauncherProgram(name)) {
        Keep(name, shown, kRunningProgram);
      } else if (IsLogOrLock(name)) {
        continue;
      } else if (DirectoryExists(ox_base::NativePath(name))) {
        RemoveFolder(name, shown);
      } else {
        Remove(name, shown);
      }
    }
  }

  // remove_all takes a link inside the folder away without following it.
  void RemoveFolder(const std::string& local, const std::string& shown) {
    std::error_code error;
    fs::remove_all(PathOnDisk(local), error);
    if (error) {
      LogFailure(local, "", "cannot be removed: " + error.message());
      result_.failed.push_back({shown, error.message()});
    } else {
      ++result_.removed;
    }
  }

  GameUninstall result_;
  std::set<std::string> emptiedFolders_;
};

}  // namespace

GameUninstall UninstallGame() { return Uninstall().Run(); }
