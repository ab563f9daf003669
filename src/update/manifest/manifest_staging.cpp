#include "update/manifest/manifest_staging.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <system_error>
#include <vector>

#include "net/parallel_downloads.h"
#include "update/manifest/delta_staging.h"
#include "update/manifest/stage_folder.h"
#include "update/manifest/staging_thread.h"
#include "update/site/expected_content.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"
#include "update/site/object_content.h"

namespace fs = std::filesystem;

namespace {

// The object or delta as it downloads, beside the content it makes.
constexpr char kObjectSuffix[] = ".object";
constexpr char kDeltaSuffix[] = ".delta";

}  // namespace

std::string FetchedOfTotal(std::uint64_t fetched, std::uint64_t total) {
  const int shift = total < (1u << 20) ? 10 : 20;
  const auto tenths = [shift](std::uint64_t bytes) {
    const std::uint64_t value = (bytes * 10 + (std::uint64_t{1} << (shift - 1))) >> shift;
    return std::to_string(value / 10) + "." + std::to_string(value % 10);
  };
  return tenths(fetched) + "/" + tenths(total) + (shift == 10 ? " KB" : " MB");
}

bool HoldsStagedContent(const ManifestFile& record) {
  const fs::path staged = StagePath(StagedName(record.sha256));
  std::error_code error;
  return fs::file_size(staged, error) == record.size && !error && FileSha256(staged) == record.sha256;
}

namespace {

// Keeps only what belongs to the objects `needed` names, and the manifests.
void RemoveUnneeded(const std::map<std::string, const PlannedFile*>& needed) {
  std::error_code error;
  const std::string manifestSuffix = kStagedManifestSuffix;
  for (fs::directory_iterator it(StagePath(kStageFolder), error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    const bool manifest = name.size() > manifestSuffix.size() &&
                          name.compare(name.size() - manifestSuffix.size(), std::string::npos, manifestSuffix) == 0;
    if (!manifest && needed.count(name.substr(0, 64)) == 0) {
      std::error_code ignored;
      fs::remove_all(it->path(), ignored);
    }
  }
}

}  // namespace

namespace {

// One content to fetch: by its delta when there is one, else whole.
struct ContentFetch {
  const PlannedFile* file;
  std::optional<PlannedDelta> delta;
  SiteFile request;

  std::uint64_t StoredSize() const { return delta ? delta->delta->storedSize : file->record.storedSize; }
};

bool ObjectFetch(const PlannedFile& file, ContentFetch& fetch, std::string& problem) {
  const std::string& sha256 = file.record.sha256;
  fetch = {&file, std::nullopt, {kObjectsFolder + ObjectName(sha256), StagedName(sha256) + kObjectSuffix, {}}};
  return ExpectedContentOf(ObjectDownloadCheck(file.record), true, fetch.request.expected, problem);
}

// False, logged, when the delta's record gives no check to fetch it by:
// the file then comes whole.
bool DeltaFetch(const PlannedDelta& planned, ContentFetch& fetch) {
  const ManifestDelta& delta = *planned.delta;
  fetch = {planned.file, planned, {DeltaPath(planned), StagedName(planned.file->record.sha256) + kDeltaSuffix, {}}};
  std::string problem;
  if (ExpectedContentOf({delta.storedSha256, std::to_string(delta.storedSize)}, true, fetch.request.expected,
                        problem)) {
    return true;
  }
  LogFailure(planned.file->local, fetch.request.path, "the delta failed (" + problem + "), fetching the whole file");
  return false;
}

bool Stage(const ContentFetch& fetch, std::string& problem) {
  if (fetch.delta) return StageFromDelta(*fetch.delta, fetch.request.localPath, problem);
  return StageDownload(fetch.file->record, fetch.request.localPath, std::nullopt, problem);
}

// An object or delta that arrived whole before a kill (a download takes its
// name only once complete and checked) is staged, not fetched again.
bool StagedFromArrived(const ContentFetch& fetch) {
  std::error_code error;
  if (!fs::is_regular_file(StagePath(fetch.request.localPath), error)) return false;
  std::string problem;
  if (Stage(fetch, problem)) return true;
  LogFailure(fetch.file->local, fetch.request.path, "what arrived before cannot be staged (" + problem + "): fetched again");
  return false;
}

// The status line and bar while `batch` downloads: the bytes fetched of
// `total` and the contents arrived of `contents`, everything outside the
// batch counted as fetched (staged before, or in an earlier batch).
std::function<void(std::uint64_t)> ShowProgress(LauncherState& state, platform::Platform& platform,
                                                const std::vector<ContentFetch>& batch, std::uint64_t total,
                                                std::int32_t contents) {
  std::uint64_t batchBytes = 0;
  for (const ContentFetch& fetch : batch) batchBytes += fetch.StoredSize();
  const std::uint64_t before = total - std::min(batchBytes, total);
  // The end of each file's bytes among all those to fetch, in request
  // order: how many files the status line counts as arrived.
  std::vector<std::uint64_t> ends;
  for (const ContentFetch& fetch : batch) ends.push_back((ends.empty() ? before : ends.back()) + fetch.StoredSize());
  const auto doneBefore = contents - static_cast<std::int32_t>(batch.size());
  return [&state, &platform, ends, before, total, contents, doneBefore, shown = -1](std::uint64_t arrived) mutable {
    const std::uint64_t fetched = before + arrived;
    const int percent = total == 0 ? 100 : static_cast<int>(fetched * 100 / total);
    if (percent == shown) return;
    shown = percent;
    const auto done = static_cast<std::int32_t>(std::upper_bound(ends.begin(), ends.end(), fetched) - ends.begin());
    state.progress.AnnounceDownload(FetchedOfTotal(fetched, total), std::min(contents, doneBefore + done + 1),
                                    contents);
    platform.GetUiThread().PostWindowMessage(platform::WM_DOWNLOAD_PROGRESS, 0, percent);
  };
}

// Downloads `batch`, staging each content on a thread of its own as it
// arrives while the others still download. A delta that fails is logged
// and its object goes to `wholeAfter`, counted in plan.bytesToFetch again.
// False with the address and reason of an object every source failed for.
bool FetchBatch(LauncherState& state, platform::Platform& platform, SiteSources& sources,
                const std::vector<ContentFetch>& batch, std::int32_t contents, ManifestPlan& plan,
                std::vector<ContentFetch>& wholeAfter, std::string& address, std::string& problem) {
  std::vector<SiteFile> requests;
  for (const ContentFetch& fetch : batch) requests.push_back(fetch.request);
  ParallelDownloadOptions options;
  options.maxBytesPerSecond = state.downloadRateLimit;
  options.onProgress = ShowProgress(state, platform, batch, plan.bytesToFetch, contents);
  options.onProgress(0);
  std::vector<std::string> problems(batch.size());
  StagingThread staging([&](std::size_t i) { Stage(batch[i], problems[i]); });
  const std::vector<SiteFileResult> results =
      sources.Download(requests, options, [&staging](std::size_t i) { staging.Add(i); });
  staging.Finish();
  for (std::size_t i = 0; i < results.size(); ++i) {
    const std::string& failed = results[i].result ? problems[i] : results[i].result.reason;
    if (failed.empty()) continue;
    const ContentFetch& fetch = batch[i];
    if (!fetch.delta) {
      address = results[i].address;
      problem = failed;
      return false;
    }
    std::error_code ignored;
    fs::remove(StagePath(fetch.request.localPath), ignored);
    LogFailure(fetch.file->local, results[i].address, "the delta failed (" + failed + "), fetching the whole file");
    plan.bytesToFetch += fetch.file->record.storedSize - fetch.delta->delta->storedSize;
    wholeAfter.emplace_back();
    if (!ObjectFetch(*fetch.file, wholeAfter.back(), problem)) {
      address = wholeAfter.back().request.path;
      return false;
    }
  }
  return true;
}

}  // namespace

bool FetchChangedFiles(LauncherState& state, platform::Platform& platform, SiteSources& sources,
                       const ReleaseManifest& newest, ManifestPlan& plan, std::string& address, std::string& problem) {
  std::map<std::string, const PlannedFile*> contents;
  for (const PlannedFile& file : plan.fetch) contents.emplace(file.record.sha256, &file);
  std::error_code error;
  fs::create_directories(StagePath(kStageFolder), error);
  RemoveUnneeded(contents);
  std::vector<const PlannedFile*> missing;
  for (const auto& [sha256, file] : contents) {
    if (!HoldsStagedContent(file->record)) missing.push_back(file);
  }
  // Deltas first, those of the largest contents first: applying them is
  // the staging's longest work, done while the rest still downloads.
  std::vector<ContentFetch> batch;
  std::set<const PlannedFile*> byDelta;
  if (DeltasUsable(newest, sources)) {
    std::vector<PlannedDelta> deltas = ChooseDeltas(missing);
    std::stable_sort(deltas.begin(), deltas.end(), [](const PlannedDelta& a, const PlannedDelta& b) {
      return a.file->record.size > b.file->record.size;
    });
    for (const PlannedDelta& planned : deltas) {
      batch.emplace_back();
      if (!DeltaFetch(planned, batch.back())) {
        batch.pop_back();
        continue;
      }
      byDelta.insert(planned.file);
      plan.bytesToFetch -= planned.file->record.storedSize - planned.delta->storedSize;
      if (StagedFromArrived(batch.back())) batch.pop_back();
    }
  }
  for (const PlannedFile* file : missing) {
    if (byDelta.count(file) > 0) continue;
    batch.emplace_back();
    if (!ObjectFetch(*file, batch.back(), problem)) {
      address = batch.back().request.path;
      return false;
    }
    if (StagedFromArrived(batch.back())) batch.pop_back();
  }
  const auto count = static_cast<std::int32_t>(contents.size());
  std::vector<ContentFetch> whole;
  if (!FetchBatch(state, platform, sources, batch, count, plan, whole, address, problem)) return false;
  std::vector<ContentFetch> none;
  return whole.empty() || FetchBatch(state, platform, sources, whole, count, plan, none, address, problem);
}
