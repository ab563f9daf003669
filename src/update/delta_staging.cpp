#include "update/delta_staging.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <system_error>
#include <vector>

#include "base/ox_large_file.h"
#include "base/ox_path.h"
#include "manifest/zstd_delta.h"
#include "update/expected_content.h"
#include "update/failure_log.h"
#include "update/file_hashing.h"
#include "update/game_files.h"
#include "update/installed_files.h"
#include "update/manifest_staging.h"
#include "update/object_content.h"
#include "update/staging_thread.h"

namespace fs = std::filesystem;

namespace {

// The delta as it downloads, beside the content it makes.
constexpr char kDeltaSuffix[] = ".delta";

struct DeltaFetch {
  const PlannedFile* file;
  const ManifestDelta* delta;
  SiteFile request;
};

// Whether the player's file may be the source of one of the record's deltas.
bool MayTakeDelta(const PlannedFile& file) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(PathOnDisk(file.local), error);
  return !file.record.deltas.empty() && !error && size <= kLargestDeltaFile && !HoldsStagedContent(file.record);
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

bool ReadSource(const PlannedFile& file, std::string& source) {
  return ox_base::ReadLargeFile(ox_base::NativePath(file.local), kLargestDeltaFile, source);
}

// The deltas worth fetching: one per content not staged yet whose file on
// disk holds a listed source, each smaller than the content's object.
std::vector<DeltaFetch> ChooseDeltas(const ReleaseManifest& newest, const ManifestPlan& plan) {
  std::vector<const PlannedFile*> candidates;
  for (const PlannedFile& file : plan.fetch) {
    if (MayTakeDelta(file)) candidates.push_back(&file);
  }
  const std::vector<std::string> installed = InstalledContents(candidates);
  std::set<std::string> chosen;
  std::vector<DeltaFetch> fetches;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const ManifestFile& record = candidates[i]->record;
    const ManifestDelta* delta = DeltaFrom(record, installed[i]);
    if (delta == nullptr || delta->storedSize >= record.storedSize || chosen.count(record.sha256) > 0) continue;
    DeltaFetch fetch{candidates[i], delta, {kDeltasFolder + DeltaName(delta->sourceSha256, record.sha256),
                                            StagedName(record.sha256) + kDeltaSuffix, {}}};
    std::string problem;
    if (!ExpectedContentOf({delta->storedSha256, std::to_string(delta->storedSize)}, true, fetch.request.expected,
                           problem)) {
      continue;
    }
    chosen.insert(record.sha256);
    fetches.push_back(std::move(fetch));
  }
  return fetches;
}

}  // namespace

const ManifestDelta* DeltaFrom(const ManifestFile& file, const std::string& installedSha256) {
  for (const ManifestDelta& delta : file.deltas) {
    if (delta.sourceSha256 == installedSha256) return &delta;
  }
  return nullptr;
}

std::set<std::string> StageFromDeltas(LauncherState& state, platform::Platform& platform, SiteSources& sources,
                                      const ReleaseManifest& newest, ManifestPlan& plan) {
  std::set<std::string> staged;
  if (newest.deltasBase.empty()) return staged;
  if (newest.deltasBase != sources.SiteRoot() + kDeltasFolder) {
    LogFailure("the manifest's deltas", newest.deltasBase,
               "not the deltas/ folder beside its objects/: changed files are fetched whole");
    return staged;
  }
  std::error_code error;
  fs::create_directories(PathOnDisk(kStageFolder), error);
  const std::vector<DeltaFetch> fetches = ChooseDeltas(newest, plan);
  if (fetches.empty()) return staged;
  std::vector<SiteFile> requests;
  // The end of each delta's bytes among all of them: how many have arrived.
  std::vector<std::uint64_t> ends;
  for (const DeltaFetch& fetch : fetches) {
    requests.push_back(fetch.request);
    ends.push_back((ends.empty() ? 0 : ends.back()) + fetch.delta->storedSize);
    plan.bytesToFetch -= fetch.file->record.storedSize - fetch.delta->storedSize;
  }
  const std::uint64_t total = plan.bytesToFetch;
  const auto count = static_cast<std::int32_t>(requests.size());
  int shown = -1;
  ParallelDownloadOptions options;
  options.maxBytesPerSecond = state.downloadRateLimit;
  options.onProgress = [&](std::uint64_t arrived) {
    const int percent = total == 0 ? 100 : static_cast<int>(arrived * 100 / total);
    if (percent == shown) return;
    shown = percent;
    const auto done = static_cast<std::int32_t>(std::upper_bound(ends.begin(), ends.end(), arrived) - ends.begin());
    state.progress.AnnounceDownload(FetchedOfTotal(arrived, total), std::min(count, done + 1), count);
    platform.GetUiThread().PostWindowMessage(platform::WM_DOWNLOAD_PROGRESS, 0, percent);
  };
  options.onProgress(0);
  // Each delta is applied as it arrives, while the others still download.
  std::vector<std::string> problems(fetches.size());
  StagingThread staging([&](std::size_t i) {
    std::string source;
    if (!ReadSource(*fetches[i].file, source)) {
      problems[i] = "the installed file cannot be read";
    } else {
      StageDownload(fetches[i].file->record, requests[i].localPath, &source, problems[i]);
    }
  });
  const std::vector<SiteFileResult> results =
      sources.Download(requests, options, [&staging](std::size_t i) { staging.Add(i); });
  staging.Finish();
  for (std::size_t i = 0; i < results.size(); ++i) {
    const PlannedFile& file = *fetches[i].file;
    const std::string& problem = results[i].result ? problems[i] : results[i].result.reason;
    fs::remove(PathOnDisk(requests[i].localPath), error);
    if (problem.empty()) {
      staged.insert(file.record.sha256);
    } else {
      plan.bytesToFetch += file.record.storedSize - fetches[i].delta->storedSize;
      LogFailure(file.local, results[i].address, "the delta failed (" + problem + "), fetching the whole file");
    }
  }
  return staged;
}
