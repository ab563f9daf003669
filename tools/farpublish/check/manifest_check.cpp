#include "check/manifest_check.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <system_error>

#include "check/checked_fetch.h"
#include "manifest/mirror_list.h"
#include "update/site/manifest_reading.h"
#include "update/site/mirror_downloads.h"
#include "update/site/object_content.h"
#include "update/site/release_names.h"

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

// A random `sample` of `items` when given.
template <typename Item>
std::vector<Item> Sampled(std::vector<Item> items, std::optional<std::size_t> sample) {
  if (sample && *sample < items.size()) {
    std::shuffle(items.begin(), items.end(), std::mt19937(std::random_device{}()));
    items.resize(*sample);
  }
  return items;
}

// Each content once, in name order.
std::vector<const ManifestFile*> ObjectsToCheck(const ReleaseManifest& manifest) {
  std::map<std::string, const ManifestFile*> byContent;
  for (const ManifestFile& file : manifest.files) byContent.emplace(file.sha256, &file);
  std::vector<const ManifestFile*> objects;
  for (const auto& entry : byContent) objects.push_back(entry.second);
  return objects;
}

// Each delta with the file it makes: its address below deltasBase.
struct ListedDelta {
  const ManifestFile* file;
  const ManifestDelta* delta;
};

std::vector<ListedDelta> DeltasToCheck(const ReleaseManifest& manifest) {
  std::vector<ListedDelta> deltas;
  for (const ManifestFile& file : manifest.files) {
    for (const ManifestDelta& delta : file.deltas) deltas.push_back({&file, &delta});
  }
  return deltas;
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
  std::vector<std::string> names;
  for (const ManifestFile& file : manifest.files) names.push_back(file.name);
  for (const std::string& refused : ReleaseNameProblems(names)) check.problems.push_back(label + refused);
  std::string siteRoot;
  if (!SiteSources::SiteRootOf(manifest.objectsBase, siteRoot)) {
    check.problems.push_back(label + "the objects address " + manifest.objectsBase +
                             " is no site's objects/ folder: launchers refuse the manifest");
    return check;
  }
  if (!manifest.deltasBase.empty() && manifest.deltasBase != siteRoot + kDeltasFolder) {
    check.problems.push_back(label + "the deltas address " + manifest.deltasBase +
                             " is not the deltas/ folder beside objects/: launchers fetch changed files whole");
  }
  // Launchers may take any object or delta from any mirror: each must hold them all.
  std::vector<std::string> roots = {siteRoot};
  for (const std::string& mirror : MirrorsOf(link.Mirrors)) roots.push_back(mirror);
  for (const ManifestFile* file : Sampled(ObjectsToCheck(manifest), sample)) {
    ++check.objectsChecked;
    for (const std::string& root : roots) {
      const std::string address = root + kObjectsFolder + ObjectName(file->sha256);
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
  for (const ListedDelta& listed : Sampled(DeltasToCheck(manifest), sample)) {
    ++check.deltasChecked;
    const FileCheck expected{listed.delta->storedSha256, std::to_string(listed.delta->storedSize)};
    for (const std::string& root : roots) {
      const std::string address =
          root + kDeltasFolder + DeltaName(listed.delta->sourceSha256, listed.file->sha256);
      if (!FetchChecked(address, expected, kDownloadName, problem)) {
        check.problems.push_back("delta of " + listed.file->name + " (" + address + "): " + problem);
      }
      problem.clear();
      std::error_code ignored;
      fs::remove(kDownloadName, ignored);
    }
  }
  return check;
}
