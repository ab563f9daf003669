#include "build/delta_store.h"

#include <algorithm>
#include <system_error>

#include "manifest/zstd_delta.h"
#include "parallel_tasks.h"
#include "trust/sha256.h"
#include "whole_file.h"

namespace fs = std::filesystem;

namespace {

std::string Sha256Of(const std::string& bytes) {
  Sha256 hash;
  hash.Update(bytes);
  return hash.FinishHex();
}

}  // namespace

void DeltaStore::Remember(const ReleaseManifest& manifest, const std::vector<BuildFile>& files) {
  Release& release = remembered_.emplace_back();
  std::map<std::string, const BuildFile*> byName;
  for (const BuildFile& file : files) byName.emplace(file.name, &file);
  for (const ManifestFile& record : manifest.files) {
    release.emplace(record.name, Source{record.sha256, record.size, byName.at(record.name)->path});
  }
}

bool DeltaStore::Add(const std::vector<const BuildFile*>& files, std::vector<ManifestFile>& records,
                     std::string& error) {
  std::vector<Job> jobs;
  std::set<std::string> queued;
  std::vector<Wanted> wanted;
  for (std::size_t i = 0; i < files.size(); ++i) wanted.push_back(DeltasTo(*files[i], records[i], jobs, queued));
  std::vector<Made> made(jobs.size());
  const bool done = RunInParallel(jobs.size(), [&](std::size_t k, std::string& reason) {
    return Make(jobs[k], made[k], reason);
  }, error);
  if (!done) return false;
  // Staging is not shared between threads: the new deltas are written here.
  for (std::size_t k = 0; k < jobs.size(); ++k) {
    std::optional<ManifestDelta>& listed = deltas_[jobs[k].name];
    if (!made[k].listed) continue;
    if (made[k].published) {
      ++kept_;
    } else {
      if (!WriteNewFile(staging_.Stage(jobs[k].name), made[k].delta, error)) return false;
      ++written_;
    }
    listed = ManifestDelta{jobs[k].source.sha256, made[k].delta.size(), Sha256Of(made[k].delta)};
  }
  for (std::size_t i = 0; i < records.size(); ++i) {
    for (const std::string& name : wanted[i].names) {
      const std::optional<ManifestDelta>& delta = deltas_.at(name);
      if (delta) records[i].deltas.push_back(*delta);
    }
    if (!records[i].deltas.empty()) continue;
    if (wanted[i].tooLarge) {
      warnings_.push_back(records[i].name + " gets no delta: it is larger than " +
                          std::to_string(kLargestDeltaFile + 1) + " bytes (the launcher's delta window); " +
                          "launchers fetch it whole");
    } else if (!wanted[i].names.empty()) {
      warnings_.push_back(records[i].name + " gets no delta: none came out smaller than its object; " +
                          "launchers fetch it whole");
    }
  }
  return true;
}

DeltaStore::Wanted DeltaStore::DeltasTo(const BuildFile& file, const ManifestFile& record, std::vector<Job>& jobs,
                                        std::set<std::string>& queued) const {
  Wanted wanted;
  std::set<std::string> sources;
  const int oldest = std::max(0, static_cast<int>(remembered_.size()) - releases_);
  for (int i = static_cast<int>(remembered_.size()) - 1; i >= oldest; --i) {
    const auto source = remembered_[i].find(record.name);
    if (source == remembered_[i].end() || source->second.sha256 == record.sha256) continue;
    if (record.size > kLargestDeltaFile || source->second.size > kLargestDeltaFile) {
      wanted.tooLarge = true;
      continue;
    }
    if (!sources.insert(source->second.sha256).second) continue;
    const std::string name = kDeltasFolder + DeltaName(source->second.sha256, record.sha256);
    wanted.names.push_back(name);
    if (deltas_.count(name) == 0 && queued.insert(name).second) jobs.push_back({name, source->second, &file, &record});
  }
  return wanted;
}

bool DeltaStore::Make(const Job& job, Made& made, std::string& error) const {
  std::string content;
  if (!ReadWholeFile(job.source.path, content) || Sha256Of(content) != job.source.sha256) {
    error = "cannot read " + job.source.path.string() + " as it was when this run began";
    return false;
  }
  std::string target;
  if (job.record->size > 0 && !ReadWholeFile(job.target->path, target)) {
    error = "cannot read " + job.target->path.string();
    return false;
  }
  const fs::path published = site_ / job.name;
  std::error_code failure;
  made.published = fs::exists(fs::symlink_status(published, failure));
  if (made.published) {
    std::string result;
    if (!ReadWholeFile(published, made.delta) ||
        !ApplyZstdDelta(content, made.delta, job.record->size, result, error) || result != target) {
      error = published.string() + " is published already but does not make the content its name gives" +
              (error.empty() ? "" : " (" + error + ")") + "; a published delta never changes";
      return false;
    }
  } else if (!MakeZstdDelta(content, target, made.delta, error, level_)) {
    error = job.record->name + ": " + error;
    return false;
  }
  // A delta no smaller than the object would only cost the player more.
  made.listed = made.delta.size() < job.record->storedSize;
  if (!made.listed) made.delta.clear();
  return true;
}
