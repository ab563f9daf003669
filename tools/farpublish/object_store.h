#pragma once
// The site's objects: each distinct file content once, under
// objects/<2 hex>/<sha256 of the content>, as one zstd frame or raw where
// that is smaller. An object already in SITE is published: it is never
// rewritten, only checked.
#include <filesystem>
#include <map>
#include <string>

#include "build_files.h"
#include "manifest/release_manifest.h"
#include "site_staging.h"

class ObjectStore {
 public:
  ObjectStore(std::filesystem::path site, SiteStaging& staging) : site_(std::move(site)), staging_(staging) {}

  // The manifest record of `file`, its object written into the staging
  // folder when SITE lacks it. False with the reason when the file cannot be
  // read, an object cannot be written, or a published object does not hold
  // the content its name gives.
  bool Add(const BuildFile& file, ManifestFile& record, std::string& error);

  int Written() const { return written_; }
  int Kept() const { return kept_; }

 private:
  bool Publish(const std::filesystem::path& source, ManifestFile& record, std::string& error);

  std::filesystem::path site_;
  SiteStaging& staging_;
  // By content SHA-256: the records of the objects this run has seen.
  std::map<std::string, ManifestFile> objects_;
  int written_ = 0;
  int kept_ = 0;
};
