#pragma once
// The site's objects: each distinct file content once, under
// objects/<2 hex>/<sha256 of the content>, as one zstd frame or raw where
// that is smaller. An object already in SITE is published: it is never
// rewritten, only checked.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "build/build_files.h"
#include "manifest/release_manifest.h"
#include "build/site_staging.h"

class ObjectStore {
 public:
  ObjectStore(std::filesystem::path site, SiteStaging& staging) : site_(std::move(site)), staging_(staging) {}

  // The manifest records of `files`, one each, every content's object
  // written into the staging folder when SITE lacks it; files are hashed
  // and objects made on several threads. False with the reason when a file
  // cannot be read, an object cannot be written, or a published object does
  // not hold the content its name gives.
  bool Add(const std::vector<const BuildFile*>& files, std::vector<ManifestFile>& records, std::string& error);

  int Written() const { return written_; }
  int Kept() const { return kept_; }

 private:
  // A content this run has not seen before.
  struct NewObject {
    std::size_t index;  // of the first file with the content
    // Where its object is written; empty when SITE holds it already, and it
    // is only identified.
    std::filesystem::path staged;
  };

  bool Publish(const std::filesystem::path& source, const NewObject& object, ManifestFile& record,
               std::string& error) const;

  std::filesystem::path site_;
  SiteStaging& staging_;
  // By content SHA-256: the records of the objects this run has seen.
  std::map<std::string, ManifestFile> objects_;
  int written_ = 0;
  int kept_ = 0;
};
