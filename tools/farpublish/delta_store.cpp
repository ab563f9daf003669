#include "delta_store.h"

#include <algorithm>
#include <set>
#include <system_error>

#include "manifest/zstd_delta.h"
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

bool DeltaStore::Add(const BuildFile& file, ManifestFile& record, std::string& error) {
  if (record.size > kLargestDeltaFile) return true;
  std::set<std::string> sources;
  std::string target;
  const int oldest = std::max(0, static_cast<int>(remembered_.size()) - releases_);
  for (int i = static_cast<int>(remembered_.size()) - 1; i >= oldest; --i) {
    const auto source = remembered_[i].find(record.name);
    if (source == remembered_[i].end() || source->second.sha256 == record.sha256 ||
        source->second.size > kLargestDeltaFile || !sources.insert(source->second.sha256).second) {
      continue;
    }
    if (target.empty() && record.size > 0 && !ReadWholeFile(file.path, target)) {
      error = "cannot read " + file.path.string();
      return false;
    }
    if (!Publish(source->second, target, record, error)) return false;
  }
  return true;
}

bool DeltaStore::Publish(const Source& source, const std::string& target, ManifestFile& record, std::string& error) {
  const std::string name = kDeltasFolder + DeltaName(source.sha256, record.sha256);
  const auto known = deltas_.find(name);
  if (known != deltas_.end()) {
    if (known->second) record.deltas.push_back(*known->second);
    return true;
  }
  std::string content;
  if (!ReadWholeFile(source.path, content) || Sha256Of(content) != source.sha256) {
    error = "cannot read " + source.path.string() + " as it was when this run began";
    return false;
  }
  std::error_code failure;
  const bool published = fs::exists(fs::symlink_status(site_ / name, failure));
  std::string delta;
  std::string made;
  if (published) {
    if (!ReadWholeFile(site_ / name, delta) || !ApplyZstdDelta(content, delta, record.size, made, error) ||
        made != target) {
      error = (site_ / name).string() + " is published already but does not make the content its name gives" +
              (error.empty() ? "" : " (" + error + ")") + "; a published delta never changes";
      return false;
    }
  } else if (!MakeZstdDelta(content, target, delta, error, level_)) {
    error = record.name + ": " + error;
    return false;
  }
  // A delta no smaller than the object would only cost the player more.
  if (delta.size() >= record.storedSize) {
    deltas_.emplace(name, std::nullopt);
    return true;
  }
  if (published) {
    ++kept_;
  } else {
    if (!WriteNewFile(staging_.Stage(name), delta, error)) return false;
    ++written_;
  }
  record.deltas.push_back({source.sha256, delta.size(), Sha256Of(delta)});
  deltas_.emplace(name, record.deltas.back());
  return true;
}
