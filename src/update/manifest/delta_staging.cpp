#include "update/manifest/delta_staging.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <optional>
#include <set>
#include <system_error>

#include "base/files/ox_large_file.h"
#include "base/files/ox_path.h"
#include "base/diagnostics/ox_physical_memory.h"
#include "manifest/zstd_delta.h"
#include "update/gamedir/installed_files.h"
#include "update/manifest/file_hashing.h"
#include "update/manifest/stage_folder.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"

namespace fs = std::filesystem;

namespace {

// Lowers the memory a delta's apply may take, in bytes (for tests).
constexpr char kDeltaMemorySetting[] = "FARLAUNCH_DELTA_MEMORY";

// The most memory applying one delta may take: half of the machine's, so
// that a large file never pushes it into swapping, or the setting's when
// lower. No bound when the system does not say.
std::uint64_t DeltaMemoryBound() {
  const std::uint64_t physical = ox_base::PhysicalMemoryBytes();
  std::uint64_t bound = physical == 0 ? std::numeric_limits<std::uint64_t>::max() : physical / 2;
  const char* setting = std::getenv(kDeltaMemorySetting);
  if (setting != nullptr && *setting != '\0') {
    bound = std::min<std::uint64_t>(bound, std::strtoull(setting, nullptr, 10));
  }
  return bound;
}

// Whether the player's file may be the source of one of the record's
// deltas. Applying holds the file and the new content at once.
bool MayTakeDelta(const PlannedFile& file, std::uint64_t memoryBound) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(PathOnDisk(file.local), error);
  if (file.record.deltas.empty() || error || size > kLargestDeltaFile) return false;
  const std::uint64_t needed = size + file.record.size;
  if (needed > memoryBound) {
    LogFailure(file.local, "",
               "no delta: applying one takes about " + std::to_string(needed) + " bytes of memory, more than the " +
                   std::to_string(memoryBound) + " it may take (half of the machine's memory, or " +
                   kDeltaMemorySetting + "); fetching the whole file");
    return false;
  }
  return true;
}

// The content of each file on disk: as the record of installed files
// vouches, else hashed (several files at once); empty when unreadable.
std::vector<std::string> InstalledContents(const std::vector<const PlannedFile*>& files) {
  std::string unreadRecord;
  const InstalledFiles known = InstalledFiles::Load(unreadRecord);
  std::vector<std::string> contents(files.size());
  std::vector<std::string> toHash;
  std::vector<std::size_t> hashedAt;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (const std::optional<std::string> vouched = known.UnchangedContent(files[i]->record.name)) {
      contents[i] = *vouched;
    } else {
      toHash.push_back(GameFilePath(files[i]->record.name));
      hashedAt.push_back(i);
    }
  }
  const std::vector<HashedFile> hashed = HashFiles(toHash, HashingThreads());
  for (std::size_t j = 0; j < hashed.size(); ++j) {
    if (hashed[j].outcome == HashedFile::Outcome::Hashed) contents[hashedAt[j]] = hashed[j].sha256;
  }
  return contents;
}

bool ReadSource(const PlannedFile& file, ox_base::FileBytes& source) {
  return ox_base::ReadLargeFile(ox_base::NativePath(file.local), kLargestDeltaFile, source);
}

}  // namespace

const ManifestDelta* DeltaFrom(const ManifestFile& file, const std::string& installedSha256) {
  for (const ManifestDelta& delta : file.deltas) {
    if (delta.sourceSha256 == installedSha256) return &delta;
  }
  return nullptr;
}

bool DeltasUsable(const ReleaseManifest& newest, const SiteSources& sources) {
  if (newest.deltasBase.empty()) return false;
  if (newest.deltasBase == sources.SiteRoot() + kDeltasFolder) return true;
  LogFailure("the manifest's deltas", newest.deltasBase,
             "not the deltas/ folder beside its objects/: changed files are fetched whole");
  return false;
}

std::vector<PlannedDelta> ChooseDeltas(const std::vector<const PlannedFile*>& files) {
  std::vector<const PlannedFile*> candidates;
  const std::uint64_t memoryBound = DeltaMemoryBound();
  for (const PlannedFile* file : files) {
    if (MayTakeDelta(*file, memoryBound)) candidates.push_back(file);
  }
  const std::vector<std::string> installed = InstalledContents(candidates);
  std::vector<PlannedDelta> chosen;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const ManifestFile& record = candidates[i]->record;
    const ManifestDelta* delta = DeltaFrom(record, installed[i]);
    if (delta != nullptr && delta->storedSize < record.storedSize) chosen.push_back({candidates[i], delta});
  }
  return chosen;
}

std::string DeltaPath(const PlannedDelta& planned) {
  return kDeltasFolder + DeltaName(planned.delta->sourceSha256, planned.file->record.sha256);
}

bool StageFromDelta(const PlannedDelta& planned, const std::string& download, std::string& problem) {
  ox_base::FileBytes source;
  if (!ReadSource(*planned.file, source)) {
    problem = "the installed file cannot be read";
    return false;
  }
  return StageDownload(planned.file->record, download, source.View(), problem);
}
