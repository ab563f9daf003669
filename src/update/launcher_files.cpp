#include "update/launcher_files.h"

#include "base/ox_letter_case.h"
#include "update/failure_log.h"
#include "update/game_files.h"
#include "update/signing_time_record.h"
#include "update/trust_anchor.h"

namespace {

enum class Suffix {
  None,
  Digits,  // the name, then a decimal number ("tmpFile" + N)
  Any,     // the name, then anything ("farLaunch.log.1")
};

struct LauncherFile {
  const char* name;
  LauncherFileRole role;
  Suffix suffix;
  // Deleted by the clean-up after an update.
  bool cleanedUp;
};

using Role = LauncherFileRole;

const LauncherFile kLauncherFiles[] = {
    {"updatecfg.xml", Role::State, Suffix::None, false},
    {kServerDocument, Role::State, Suffix::None, true},
    {"_tmp.dat", Role::Temporary, Suffix::None, true},
    {"tmp.tmp", Role::Temporary, Suffix::None, true},
    {"_tmp_up.dat", Role::Temporary, Suffix::None, true},
    {kPackageDownload, Role::Temporary, Suffix::None, true},
    {"diff.dat", Role::Temporary, Suffix::None, true},
    {"tmp_client.tmp", Role::Temporary, Suffix::None, true},
    {kPatchArchive, Role::Temporary, Suffix::None, true},
    {kLauncherArchive, Role::Temporary, Suffix::None, true},
    {kDownloadedServerDocument, Role::Temporary, Suffix::None, true},
    {kDownloadedSignature, Role::Temporary, Suffix::None, true},
    {"tmpFile", Role::Temporary, Suffix::Digits, false},
    {kLauncherAsideName, Role::Temporary, Suffix::None, false},
    {kSigningTimeRecord, Role::State, Suffix::None, false},
    {kFailureLogName, Role::State, Suffix::Any, false},
    {kFullInstallMarker, Role::State, Suffix::None, false},
    {kUnpackJournal, Role::State, Suffix::None, false},
    {kInstanceLockFile, Role::State, Suffix::None, false},
    {kPublisherKeyFile, Role::PublisherKey, Suffix::None, false},
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

}  // namespace

std::optional<LauncherFileRole> LauncherFileRoleOf(const std::string& name) {
  if (name.find_first_of("/\\") != std::string::npos) return std::nullopt;
  const std::string folded = ox_base::FoldLetterCase(name);
  for (const LauncherFile& file : kLauncherFiles) {
    if (Matches(file, folded)) return file.role;
  }
  return std::nullopt;
}

std::vector<std::string> CleanedUpNames() {
  std::vector<std::string> names;
  for (const LauncherFile& file : kLauncherFiles) {
    if (file.cleanedUp) names.push_back(file.name);
  }
  return names;
}
