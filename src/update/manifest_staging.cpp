#include "update/manifest_staging.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>
#include <vector>

#include "net/parallel_downloads.h"
#include "update/expected_content.h"
#include "update/game_files.h"
#include "update/object_content.h"
#include "update/staging_thread.h"

namespace fs = std::filesystem;

namespace {

// The object as it downloads, beside the content it decodes to.
constexpr char kObjectSuffix[] = ".object";

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
  const fs::path staged = PathOnDisk(StagedName(record.sha256));
  std::error_code error;
  return fs::file_size(staged, error) == record.size && !error && FileSha256(staged) == record.sha256;
}

namespace {

// Keeps only what belongs to the objects `needed` names.
void RemoveUnneeded(const std::map<std::string, const ManifestFile*>& needed) {
  std::error_code error;
  for (fs::directory_iterator it(PathOnDisk(kStageFolder), error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (needed.count(name.substr(0, 64)) == 0) {
      std::error_code ignored;
      fs::remove_all(it->path(), ignored);
    }
  }
}

}  // namespace

bool StageDownload(const ManifestFile& record, const std::string& object, const std::string* deltaSource,
                   std::string& problem) {
  const std::string staged = StagedName(record.sha256);
  const fs::path decoding = PathOnDisk(staged + ".decoding");
  std::ofstream out(decoding, std::ios::binary | std::ios::trunc);
  const auto write = [&out](std::string_view piece) {
    out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
  };
  const bool decoded = deltaSource == nullptr ? DecodeObject(PathOnDisk(object), record, write, problem)
                                              : DecodeDelta(PathOnDisk(object), record, *deltaSource, write, problem);
  out.close();
  std::error_code error;
  if (decoded && !out) problem = "the staged file cannot be written";
  if (decoded && out) fs::rename(decoding, PathOnDisk(staged), error);
  if (error) problem = "the staged file cannot be renamed: " + error.message();
  fs::remove(PathOnDisk(object), error);
  fs::remove(decoding, error);
  return problem.empty();
}

std::string StagedName(const std::string& sha256) { return std::string(kStageFolder) + "/" + sha256; }

bool FetchObjects(LauncherState& state, platform::Platform& platform, SiteSources& sources,
                  const ManifestPlan& plan, const std::set<std::string>& checked, std::string& address,
                  std::string& problem) {
  std::map<std::string, const ManifestFile*> objects;
  for (const PlannedFile& file : plan.fetch) objects.emplace(file.record.sha256, &file.record);
  std::error_code error;
  fs::create_directories(PathOnDisk(kStageFolder), error);
  RemoveUnneeded(objects);
  std::vector<const ManifestFile*> missing;
  std::vector<SiteFile> requests;
  std::uint64_t missingBytes = 0;
  for (const auto& [sha256, record] : objects) {
    if (checked.count(sha256) > 0 || HoldsStagedContent(*record)) continue;
    SiteFile request{kObjectsFolder + ObjectName(sha256), StagedName(sha256) + kObjectSuffix, {}};
    if (!ExpectedContentOf(ObjectDownloadCheck(*record), true, request.expected, problem)) {
      address = request.path;
      return false;
    }
    missing.push_back(record);
    requests.push_back(std::move(request));
    missingBytes += record->storedSize;
  }
  // What is staged (by deltas, or before a kill) counts as fetched.
  const std::uint64_t stagedBytes = plan.bytesToFetch - std::min(missingBytes, plan.bytesToFetch);
  // The end of each object's bytes among all those to fetch, in request
  // order: how many files the status line counts as arrived.
  std::vector<std::uint64_t> ends;
  for (const ManifestFile* record : missing) {
    ends.push_back((ends.empty() ? stagedBytes : ends.back()) + record->storedSize);
  }
  const auto count = static_cast<std::int32_t>(objects.size());
  int shown = -1;
  ParallelDownloadOptions options;
  options.maxBytesPerSecond = state.downloadRateLimit;
  options.onProgress = [&](std::uint64_t arrived) {
    const std::uint64_t fetched = stagedBytes + arrived;
    const int percent = plan.bytesToFetch == 0 ? 100 : static_cast<int>(fetched * 100 / plan.bytesToFetch);
    if (percent == shown) return;
    shown = percent;
    const auto done = static_cast<std::int32_t>(std::upper_bound(ends.begin(), ends.end(), fetched) - ends.begin());
    state.progress.AnnounceDownload(FetchedOfTotal(fetched, plan.bytesToFetch),
                                    std::min(count, count - static_cast<std::int32_t>(ends.size()) + done + 1), count);
    platform.GetUiThread().PostWindowMessage(platform::WM_DOWNLOAD_PROGRESS, 0, percent);
  };
  options.onProgress(0);
  // Each object is decoded as it arrives, while the others still download.
  std::vector<std::string> problems(missing.size());
  StagingThread staging(
      [&](std::size_t i) { StageDownload(*missing[i], requests[i].localPath, nullptr, problems[i]); });
  const std::vector<SiteFileResult> results =
      sources.Download(requests, options, [&staging](std::size_t i) { staging.Add(i); });
  staging.Finish();
  for (std::size_t i = 0; i < results.size(); ++i) {
    address = results[i].address;
    problem = results[i].result ? problems[i] : results[i].result.reason;
    if (!problem.empty()) return false;
  }
  return true;
}

void RemoveStage() {
  std::error_code ignored;
  fs::remove_all(PathOnDisk(kStageFolder), ignored);
}
