#pragma once
// Which archives a site needs: per build after the first, the items that
// take the previous build to it; and the full package of the newest build.
#include <string>
#include <vector>

#include "build/build_files.h"
#include "build/version_folders.h"

struct ClientBuild {
  BuildFolder folder;
  std::vector<BuildFile> files;
};

struct ArchivePlan {
  // Carries the package code, so that a published archive never changes
  // name or bytes: "patch-0002.zip".
  std::string fileName;
  // In name order, which is the order of the archive's entries.
  std::vector<BuildFile> entries;
};

// The launcher's item types.
constexpr char kNormalItem[] = "normal";
constexpr char kLauncherItem[] = "farLaunch";

struct ItemPlan {
  std::string type;
  ArchivePlan archive;
  // A launcher's platform (PlatformName), which its Launcher element names;
  // empty for a patch, and for a launcher that is neither a Windows nor a
  // Linux program.
  std::string platform;
  // Whether a File element carries it: every item but the Linux launcher
  // of a build for both platforms, which only its Launcher element names
  // (launchers that do not read those elements take the File item).
  bool fileItem = true;
};

struct EntryPlan {
  BuildFolder build;
  // A "normal" patch with every file added or changed except the
  // launchers, then a "farLaunch" item for each launcher that changed
  // (farLaunch.exe, then the Linux launcher farLaunch, whose archive
  // carries it as farLaunch.exe). The launcher items are last: the launcher
  // stops an entry's items once it has replaced itself, and counts the
  // entry as installed after the restart.
  std::vector<ItemPlan> items;
};

struct ReleasePlan {
  std::vector<EntryPlan> entries;
  ArchivePlan fullPackage;
  // One line per launcher-owned file the builds hold, then one per build
  // that deleted files: the patches cannot delete them.
  std::vector<std::string> warnings;
};

// `builds` in installation order, each with its files. The first build is
// the base and gets no items. The full package carries no launcher of a
// build for both platforms (each launcher installs its own from the
// items). False with the reason when a file cannot be read or a build's
// launchers do not fit (CheckLauncher).
bool PlanRelease(const std::vector<ClientBuild>& builds, ReleasePlan& plan, std::string& error);
