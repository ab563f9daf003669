#include "update/gamedir/partial_downloads.h"

#include <filesystem>
#include <set>
#include <system_error>
#include <utility>
#include <vector>

#include "base/files/ox_path.h"
#include "net/partial_download.h"
#include "update/gamedir/item_downloads.h"
#include "update/site/game_files.h"
#include "update/site/update_documents.h"

namespace fs = std::filesystem;

namespace {

using Download = std::pair<std::string, std::string>;  // local name, address

// Every item of the entry: where it is downloaded to, and from.
std::vector<Download> DownloadsOf(const VersionEntry& entry) {
  std::vector<Download> downloads;
  const std::vector<UpdateFileItem> items = FileItems(entry);
  for (std::size_t j = 0; j < items.size(); ++j) {
    downloads.emplace_back(ItemDownloadName(entry.PackageCode, j + 1), items[j].SourceFileAddr);
  }
  return downloads;
}

// What the document still has the launcher download in this run.
std::set<Download> NeededDownloads(const LauncherState& state) {
  std::set<Download> needed;
  if (state.needFullInstall) needed.insert({state.MiniTargetFileName, state.MiniSourceFileAddr});
  for (const VersionEntry& entry : state.entries) {
    if (!IsNewerPackage(entry.PackageCode, state.PackageCode)) continue;
    for (const Download& download : DownloadsOf(entry)) needed.insert(download);
  }
  return needed;
}

// The local names whose partial download may be in the game directory:
// every one the document names, and every one on the top level (those of
// older launchers too).
std::set<std::string> CandidateNames(const LauncherState& state) {
  std::set<std::string> names = {kPatchArchive, kLauncherArchive, kPackageDownload, state.MiniTargetFileName};
  for (const VersionEntry& entry : state.entries) {
    for (const Download& download : DownloadsOf(entry)) names.insert(download.first);
    // Where earlier builds downloaded an untyped item: onto its file.
    for (const UpdateFileItem& item : FileItems(entry)) names.insert(item.TargetFileName);
  }
  const std::string suffix = PartialDownload::PartName("");
  std::error_code error;
  for (fs::directory_iterator it(".", error), end; !error && it != end; it.increment(error)) {
    std::string native = it->path().filename().string();
    const std::size_t cut = native.rfind(suffix);
    if (cut == std::string::npos || cut == 0) continue;
    if (const auto name = ox_base::NameFromNative(native.substr(0, cut))) names.insert(*name);
  }
  return names;
}

}  // namespace

void CleanUnneededPartials(const LauncherState& state) {
  const std::set<Download> needed = NeededDownloads(state);
  for (const std::string& name : CandidateNames(state)) {
    if (name.empty() || !IsInsideGameDirectory(name)) continue;
    const PartialDownload part(name);
    const std::optional<PartialMeta> meta = ReadPartialMeta(name);
    // Only a part with the sidecar the launcher wrote is a partial
    // download: a game may ship "Intro.part". In the launcher's own name
    // space a part without one is a download cut off before it was saved.
    if (meta ? needed.count({name, meta->address}) == 0 : IsItemDownloadName(name)) {
      part.DiscardComplete();
      part.Discard();
    }
  }
}
