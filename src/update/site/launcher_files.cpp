#include "update/site/launcher_files.h"

#include "base/files/ox_letter_case.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"
#include "update/site/manifest_reading.h"
#include "update/site/signing_time_record.h"
#include "update/site/trust_anchor.h"

namespace {

enum class Suffix {
  None,
  Digits,  // the name, then a decimal number ("tmpFile" + N)
  Any,     // the name, then anything ("farLaunch.log.1")
};

// What the clean-up after an update does with the file.
enum class CleanUp {
  Never,
  Always,
  // The original program's temporary names: only a file this run made.
  WhenMadeThisRun,
};

struct LauncherFile {
  const char* name;
  LauncherFileRole role;
  Suffix suffix;
  CleanUp cleanUp;
};

using Role = LauncherFileRole;

const LauncherFile kLauncherFiles[] = {
    {"updatecfg.xml", Role::State, Suffix::None, CleanUp::Never},
    {kServerDocument, Role::State, Suffix::None, CleanUp::Always},
    {"_tmp.dat", Role::Temporary, Suffix::None, CleanUp::WhenMadeThisRun},
    {"tmp.tmp", Role::Temporary, Suffix::None, CleanUp::WhenMadeThisRun},
    {"_tmp_up.dat", Role::Temporary, Suffix::None, CleanUp::WhenMadeThisRun},
    {kPackageDownload, Role::Temporary, Suffix::None, CleanUp::WhenMadeThisRun},
    {"diff.dat", Role::Temporary, Suffix::None, CleanUp::WhenMadeThisRun},
    {"tmp_client.tmp", Role::Temporary, Suffix::None, CleanUp::WhenMadeThisRun},
    {kPatchArchive, Role::Temporary, Suffix::None, CleanUp::WhenMadeThisRun},
    {kLauncherArchive, Role::Temporary, Suffix::None, CleanUp::WhenMadeThisRun},
    {kDownloadedServerDocument, Role::Temporary, Suffix::None, CleanUp::Always},
    {kDownloadedSignature, Role::Temporary, Suffix::None, CleanUp::Always},
    // A new launcher written beside its place (NewProgramName) that a kill
    // kept from taking it.
    {"farLaunch.exe.new", Role::Temporary, Suffix::None, CleanUp::Always},
    // The item downloads are cleaned up by a search of their name space.
    {kItemDownloadPrefix, Role::Temporary, Suffix::Any, CleanUp::Never},
    {"tmpFile", Role::Temporary, Suffix::Digits, CleanUp::Never},
    {kLeftoverPrefix, Role::Temporary, Suffix::Digits, CleanUp::Never},
    {kLauncherAsideName, Role::Temporary, Suffix::None, CleanUp::Never},
    {kSigningTimeRecord, Role::State, Suffix::None, CleanUp::Never},
    {kFailureLogName, Role::State, Suffix::Any, CleanUp::Never},
    {kFullInstallMarker, Role::State, Suffix::None, CleanUp::Never},
    {kUnpackJournal, Role::State, Suffix::None, CleanUp::Never},
    {kKeptManifest, Role::State, Suffix::None, CleanUp::Never},
    {kInstanceLockFile, Role::State, Suffix::None, CleanUp::Never},
    {kInstalledFilesRecord, Role::State, Suffix::None, CleanUp::Never},
    {kRolloutBucketFile, Role::State, Suffix::None, CleanUp::Never},
    {kPublisherKeyFile, Role::PublisherKey, Suffix::None, CleanUp::Never},
};

bool AllDigits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

bool Matches(const LauncherFile& file, const std::string& folded) {
  const std::string name = ox_base::FoldLetterCase(file.name);
  if (folded.compare(0, name.size(), name) != 0) return false;
  const std::string rest = folded.substr(name.size());
  switch (file.suffix) {
    case Suffix::None:
      return rest.empty();
    case Suffix::Digits:
      return AllDigits(rest);
    case Suffix::Any:
      return true;
  }
  return false;
}

// The table's row for a file of the top level; null for a file in a folder
// or a name the launcher does not own.
const LauncherFile* LauncherFileNamed(const std::string& name) {
  if (name.find_first_of("/\\") != std::string::npos) return nullptr;
  const std::string folded = ox_base::FoldLetterCase(name);
  for (const LauncherFile& file : kLauncherFiles) {
    if (Matches(file, folded)) return &file;
  }
  return nullptr;
}

}  // namespace

std::string FoldedFileName(std::string name) {
  while (name.size() > 2 && name[0] == '.' && (name[1] == '/' || name[1] == '\\')) name.erase(0, 2);
  return ox_base::FoldLetterCase(name);
}

bool IsLauncherProgram(const std::string& name) {
  const std::string folded = FoldedFileName(name);
  // kLauncherProgram without its ".\" prefix.
  for (const char* program : {kLauncherProgram + 2, FARLAUNCH_WINDOW_MODULE, FARLAUNCH_WEB_MODULE}) {
    if (folded == ox_base::FoldLetterCase(program)) return true;
  }
  return false;
}

std::optional<LauncherFileRole> LauncherFileRoleOf(const std::string& name) {
  const LauncherFile* file = LauncherFileNamed(name);
  return file ? std::optional<LauncherFileRole>(file->role) : std::nullopt;
}

bool IsOriginalTemporaryName(const std::string& name) {
  const LauncherFile* file = LauncherFileNamed(name);
  return file && file->cleanUp == CleanUp::WhenMadeThisRun;
}

std::vector<CleanedUpName> CleanedUpNames() {
  std::vector<CleanedUpName> names;
  for (const LauncherFile& file : kLauncherFiles) {
    if (file.cleanUp != CleanUp::Never) names.push_back({file.name, file.cleanUp == CleanUp::WhenMadeThisRun});
  }
  return names;
}
