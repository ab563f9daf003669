#pragma once
// Which archives a site needs: per build after the first, the items that
// take the previous build to it; and the full package of the newest build.
#include <string>
#include <vector>

#include "build_files.h"
#include "version_folders.h"

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
};

struct EntryPlan {
  BuildFolder build;
  // A "normal" patch with every file added or changed except the launcher,
  // then a "farLaunch" item when the launcher changed. The launcher item is
  // last: the launcher stops an entry's items once it has replaced itself,
  // and counts the entry as installed after the restart.
  std::vector<ItemPlan> items;
};

struct ReleasePlan {
  std::vector<EntryPlan> entries;
  ArchivePlan fullPackage;
  // One line per launcher-owned file the builds hold, then one per build
  // that deleted files: an update cannot delete them.
  std::vector<std::string> warnings;
};

// `builds` in installation order, each with its files. The first build is
// the base and gets no items. False with the reason when a file cannot be
// read.
bool PlanRelease(const std::vector<ClientBuild>& builds, ReleasePlan& plan, std::string& error);
