#include "release_plan.h"

#include <algorithm>

#include "build_diff.h"
#include "launcher_owned_files.h"

namespace {

std::string ArchiveName(const char* kind, const BuildFolder& build) {
  return std::string(kind) + "-" + build.version.packageCode + ".zip";
}

std::vector<BuildFile> Shipped(const std::vector<BuildFile>& files, bool fullPackage) {
  std::vector<BuildFile> shipped;
  for (const BuildFile& file : files) {
    if (ShippedInArchive(file, fullPackage)) shipped.push_back(file);
  }
  return shipped;
}

std::vector<ItemPlan> ItemsOf(const BuildFolder& build, std::vector<BuildFile> changed) {
  std::vector<ItemPlan> items;
  changed = Shipped(changed, false);
  const auto launcher = std::find_if(changed.begin(), changed.end(),
                                     [](const BuildFile& file) { return file.name == kLauncherExecutable; });
  std::vector<BuildFile> launcherFiles;
  if (launcher != changed.end()) {
    launcherFiles.push_back(*launcher);
    changed.erase(launcher);
  }
  if (!changed.empty()) items.push_back({kNormalItem, {ArchiveName("patch", build), std::move(changed)}});
  if (!launcherFiles.empty()) {
    items.push_back({kLauncherItem, {ArchiveName("launcher", build), std::move(launcherFiles)}});
  }
  return items;
}

std::string DeletionWarning(const BuildFolder& older, const BuildFolder& newer,
                            const std::vector<std::string>& deleted) {
  std::string warning = newer.name + " no longer has files of " + older.name +
                        "; an update cannot delete them, so players keep them:";
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
    plan.entries.push_back({builds[i].folder, ItemsOf(builds[i].folder, std::move(changes.addedOrChanged))});
  }
  const ClientBuild& newest = builds.back();
  plan.fullPackage = {ArchiveName("client", newest.folder), Shipped(newest.files, true)};
  return true;
}
