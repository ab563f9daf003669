#pragma once
// The site's deltas: for each changed file of the newest release, one from
// each other content the file had in the releases just before it, stored
// under deltas/<source sha256>-<target sha256> and listed in the manifest
// only when smaller than the file's object. A delta already in SITE is
// never rewritten, only checked.
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "build/build_files.h"
#include "manifest/release_manifest.h"
#include "build/site_staging.h"

class DeltaStore {
 public:
  // Deltas come from the last `releases` releases before the newest, made
  // at zstd `level`.
  DeltaStore(std::filesystem::path site, SiteStaging& staging, int releases, int level)
      : site_(std::move(site)), staging_(staging), releases_(releases), level_(level) {}

  // Takes note of an older release: its manifest and the files it was made of.
  void Remember(const ReleaseManifest& manifest, const std::vector<BuildFile>& files);

  // Lists in `records` (those of `files` of the newest release, objects
  // known) the deltas to each from the releases remembered last, newest
  // first; each delta is made once, however many files share its change,
  // and deltas are made on several threads. A file larger than the
  // decoder's window (kLargestDeltaFile) gets none. Each changed file that
  // gets none has a warning (Warnings) that says why. False with the reason
  // when a file cannot be read, a delta cannot be made or written, or a
  // published delta does not make the content its name gives.
  bool Add(const std::vector<const BuildFile*>& files, std::vector<ManifestFile>& records, std::string& error);

  // One line per changed file of the newest release that got no delta.
  const std::vector<std::string>& Warnings() const { return warnings_; }

  int Written() const { return written_; }
  int Kept() const { return kept_; }

 private:
  struct Source {
    std::string sha256;
    std::uint64_t size = 0;
    std::filesystem::path path;
  };
  // By name, per remembered release.
  using Release = std::map<std::string, Source>;

  // One delta to make, or to check when SITE holds it.
  struct Job {
    std::string name;  // "deltas/<source>-<target>"
    Source source;
    const BuildFile* target;
    const ManifestFile* record;  // the target's
  };
  struct Made {
    bool published = false;
    // Smaller than the target's object; only then are its bytes kept.
    bool listed = false;
    std::string delta;
  };

  // The deltas a file of the newest release could have.
  struct Wanted {
    // Newest source first.
    std::vector<std::string> names;
    // A content it changed from was left out for its size (or its own).
    bool tooLarge = false;
  };

  // The deltas to `record`; a job for each one neither this run nor `jobs`
  // has met goes into `jobs`.
  Wanted DeltasTo(const BuildFile& file, const ManifestFile& record, std::vector<Job>& jobs,
                  std::set<std::string>& queued) const;
  bool Make(const Job& job, Made& made, std::string& error) const;

  std::filesystem::path site_;
  SiteStaging& staging_;
  int releases_;
  int level_;
  std::vector<Release> remembered_;
  // By name, each delta this run made or checked: what the manifest lists
  // of it, none when it is not listed.
  std::map<std::string, std::optional<ManifestDelta>> deltas_;
  std::vector<std::string> warnings_;
  int written_ = 0;
  int kept_ = 0;
};
