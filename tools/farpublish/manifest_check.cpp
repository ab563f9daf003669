#include "manifest_check.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <system_error>

#include "checked_fetch.h"
#include "manifest/mirror_list.h"
#include "update/manifest_reading.h"
#include "update/mirror_downloads.h"
#include "update/object_content.h"

namespace fs = std::filesystem;

namespace {

constexpr char kDownloadName[] = "site-object.download";

bool FetchManifest(const ManifestLink& link, ReleaseManifest& manifest, std::string& problem) {
  const bool read = FetchChecked(link.Href, ManifestDownloadCheck(link), kDownloadName, problem) &&
                    ReadManifestFrame(kDownloadName, manifest, problem);
  std::error_code ignored;
  fs::remove(kDownloadName, ignored);
  return read;
}

// Each content once, in name order; a random `sample` of them when given.
std::vector<const ManifestFile*> ObjectsToCheck(const ReleaseManifest& manifest, std::optional<std::size_t> sample) {
  std::map<std::string, const ManifestFile*> byContent;
  for (const ManifestFile& file : manifest.files) byContent.emplace(file.sha256, &file);
  std::vector<const ManifestFile*> objects;
  for (const auto& entry : byContent) objects.push_back(entry.second);
  if (sample && *sample < objects.size()) {
    std::shuffle(objects.begin(), objects.end(), std::mt19937(std::random_device{}()));
    objects.resize(*sample);
  }
  return objects;
}

}  // namespace

ManifestCheck CheckNewestManifest(const VersionEntry& newest, std::optional<std::size_t> sample) {
  ManifestCheck check;
  if (!newest.Manifest) {
    check.notes.push_back("the newest version names no manifest: launchers update through the patches only");
    return check;
  }
  const ManifestLink& link = *newest.Manifest;
  const std::string label = "manifest (" + link.Href + "): ";
  if (link.Format != kManifestFormat) {
    check.notes.push_back(label + "format " + link.Format + " is unknown to this farpublish, not checked; " +
                          "launchers that do not know it update through the patches");
    return check;
  }
  ReleaseManifest manifest;
  std::string problem;
  if (!FetchManifest(link, manifest, problem)) {
    check.problems.push_back(label + problem);
    return check;
  }
  // Launchers may take any object from any mirror: each must hold them all.
  std::vector<std::string> bases = {manifest.objectsBase};
  for (const std::string& mirror : MirrorsOf(link.Mirrors)) bases.push_back(mirror + kObjectsFolder);
  for (const ManifestFile* file : ObjectsToCheck(manifest, sample)) {
    ++check.objectsChecked;
    for (const std::string& base : bases) {
      const std::string address = base + ObjectName(file->sha256);
      if (FetchChecked(address, ObjectDownloadCheck(*file), kDownloadName, problem) &&
          file->form == StoredForm::Zstd) {
        DecodeObject(kDownloadName, *file, [](std::string_view) {}, problem);
      }
      if (!problem.empty()) check.problems.push_back("object of " + file->name + " (" + address + "): " + problem);
      problem.clear();
      std::error_code ignored;
      fs::remove(kDownloadName, ignored);
    }
  }
  return check;
}
