#include "build/launcher_owned_files.h"

#include <optional>
#include <set>

#include "base/files/ox_letter_case.h"
#include "update/site/launcher_files.h"

namespace {

constexpr char kVersionDocument[] = "updatecfg.xml";

std::string Warning(const std::string& name, LauncherFileRole role) {
  switch (role) {
    case LauncherFileRole::State:
      return name + " is the launcher's own state: left out of the patches" +
             (ox_base::FoldLetterCase(name) == kVersionDocument ? "; the full package carries it for new installs"
                                       : " and of the full package");
    case LauncherFileRole::Temporary:
      return name + " has the name of one of the launcher's temporary files: launchers delete it after " +
             "every update; rename it";
    case LauncherFileRole::PublisherKey:
      return name + " is shipped: every launcher that installs it verifies updates with its key from then " +
             "on (the way to rotate the publisher's key)";
  }
  return {};
}

}  // namespace

bool ShippedInArchive(const BuildFile& file, bool fullPackage) {
  if (LauncherFileRoleOf(file.name) != LauncherFileRole::State) return true;
  return fullPackage && ox_base::FoldLetterCase(file.name) == kVersionDocument;
}

std::vector<std::string> LauncherFileWarnings(const std::vector<const std::vector<BuildFile>*>& files) {
  std::vector<std::string> warnings;
  std::set<std::string> said;
  for (const std::vector<BuildFile>* build : files) {
    for (const BuildFile& file : *build) {
      const std::optional<LauncherFileRole> role = LauncherFileRoleOf(file.name);
      if (role && said.insert(file.name).second) warnings.push_back(Warning(file.name, *role));
    }
  }
  return warnings;
}
