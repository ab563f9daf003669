#include "build/release_plan.h"

#include <algorithm>

#include "build/build_diff.h"
#include "build/build_launchers.h"
#include "build/launcher_owned_files.h"

namespace {

std::string ArchiveName(const char* kind, const BuildFolder& build) {
  return std::string(kind) + "-" + build.version.packageCode + ".zip";
}

// The full package carries the build's farLaunch.exe only when it is the
// build's one launcher: a launcher of the other platform would take the
// running one's place.
std::vector<BuildFile> FullPackageFiles(const std::vector<BuildFile>& files) {
  const bool twoLaunchers = HoldsLinuxLauncher(files);
  std::vector<BuildFile> shipped;
  for (const BuildFile& file : files) {
    const bool launcher = file.name == kLinuxLauncherExecutable || (file.name == kLauncherExecutable && twoLaunchers);
    if (ShippedInArchive(file, true) && !launcher) shipped.push_back(file);
  }
  return shipped;
}

bool ItemsOf(const ClientBuild& build, const std::vector<BuildFile>& changed, std::vector<ItemPlan>& items,
             std::vector<std::string>& warnings, std::string& error) {
  std::vector<BuildFile> patch;
  std::vector<ItemPlan> launchers;
  for (const BuildFile& file : changed) {
    if (!ShippedInArchive(file, false)) continue;
    const bool linuxLauncher = file.name == kLinuxLauncherExecutable;
    if (!linuxLauncher && file.name != kLauncherExecutable) {
      patch.push_back(file);
      continue;
    }
    ExecutableFormat format = ExecutableFormat::Other;
    if (!CheckLauncher(build.folder.name, build.files, file, format, warnings, error)) return false;
    // The archive holds the launcher under its name in the game directory.
    BuildFile entry = file;
    entry.name = kLauncherExecutable;
    // farLaunch.exe's item first, as the document has always had it.
    const ItemPlan item = {kLauncherItem,
                           {ArchiveName(linuxLauncher ? "launcher-linux" : "launcher", build.folder), {entry}},
                           PlatformName(format),
                           !linuxLauncher};
    launchers.insert(linuxLauncher ? launchers.end() : launchers.begin(), item);
  }
  items.clear();
  if (!patch.empty()) items.push_back({kNormalItem, {ArchiveName("patch", build.folder), std::move(patch)}, "", true});
  items.insert(items.end(), launchers.begin(), launchers.end());
  return true;
}

std::string DeletionWarning(const BuildFolder& older, const BuildFolder& newer,
                            const std::vector<std::string>& deleted) {
  std::string warning = newer.name + " no longer has files of " + older.name +
                        "; the patches cannot delete them, so launchers that read no manifest keep them:";
  for (const std::string& name : deleted) warning += " " + name;
  return warning;
}

}  // namespace

bool PlanRelease(const std::vector<ClientBuild>& builds, ReleasePlan& plan, std::string& error) {
  plan = {};
  if (builds.empty()) {
    error = "no build to publish";
    return false;
  }
  plan.entries.push_back({builds.front().folder, {}});
  std::vector<const std::vector<BuildFile>*> files;
  for (const ClientBuild& build : builds) files.push_back(&build.files);
  plan.warnings = LauncherFileWarnings(files);
  for (std::size_t i = 1; i < builds.size(); ++i) {
    BuildChanges changes;
    if (!DiffBuilds(builds[i - 1].files, builds[i].files, changes, error)) return false;
    if (!changes.deleted.empty()) {
      plan.warnings.push_back(DeletionWarning(builds[i - 1].folder, builds[i].folder, changes.deleted));
    }
    EntryPlan& entry = plan.entries.emplace_back();
    entry.build = builds[i].folder;
    if (!ItemsOf(builds[i], changes.addedOrChanged, entry.items, plan.warnings, error)) return false;
  }
  const ClientBuild& newest = builds.back();
  plan.fullPackage = {ArchiveName("client", newest.folder), FullPackageFiles(newest.files)};
  return true;
}
