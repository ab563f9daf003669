#include "build/release_manifests.h"

#include <algorithm>
#include <iterator>
#include <system_error>

#include "base/files/ox_letter_case.h"
#include "build/build_launchers.h"
#include "build/launcher_owned_files.h"
#include "manifest/manifest_text.h"
#include "manifest/zstd_frames.h"
#include "trust/sha256.h"
#include "whole_file.h"

namespace fs = std::filesystem;

namespace {

// Manifests are small and fetched at every update: the smallest frame.
constexpr int kManifestLevel = 19;
constexpr char kManifestsFolder[] = "manifests/";
// The launcher's own modules beside it go with the launcher item.
constexpr const char* kLauncherModules[] = {"farlaunch-gtk.so", "farlaunch-webkit.so"};

bool PublishManifest(const std::string& frame, const std::string& baseUrl, const fs::path& site,
                     SiteStaging& staging, PublishedManifest& published, std::string& error) {
  Sha256 hash;
  hash.Update(frame);
  published.digest = {hash.FinishHex(), frame.size()};
  published.name = kManifestsFolder + published.digest.sha256;
  published.address = baseUrl + "/" + published.name;
  std::error_code failure;
  published.kept = fs::exists(fs::symlink_status(site / published.name, failure));
  if (published.kept) {
    std::string bytes;
    if (ReadWholeFile(site / published.name, bytes) && bytes == frame) return true;
    error = (site / published.name).string() + " is published already but is not the manifest its name gives; " +
            "a published manifest never changes";
    return false;
  }
  return WriteNewFile(staging.Stage(published.name), frame, error);
}

}  // namespace

bool InManifest(const BuildFile& file) {
  const std::string name = ox_base::FoldLetterCase(file.name);
  return ShippedInArchive(file, false) && !IsLauncherProgram(file) &&
         std::find(std::begin(kLauncherModules), std::end(kLauncherModules), name) == std::end(kLauncherModules);
}

bool PublishManifests(const std::vector<ClientBuild>& builds, const std::string& baseUrl, const fs::path& site,
                      SiteStaging& staging, ObjectStore& objects, DeltaStore& deltas,
                      std::vector<PublishedManifest>& manifests, std::string& error) {
  manifests.clear();
  for (const ClientBuild& build : builds) {
    const bool newest = &build == &builds.back();
    ReleaseManifest manifest;
    manifest.packageCode = build.folder.version.packageCode;
    manifest.objectsBase = baseUrl + "/objects/";
    std::vector<const BuildFile*> listed;
    for (const BuildFile& file : build.files) {
      if (InManifest(file)) listed.push_back(&file);
    }
    if (!objects.Add(listed, manifest.files, error) || (newest && !deltas.Add(listed, manifest.files, error))) {
      return false;
    }
    const bool listsDeltas = std::any_of(manifest.files.begin(), manifest.files.end(),
                                         [](const ManifestFile& record) { return !record.deltas.empty(); });
    if (listsDeltas) manifest.deltasBase = baseUrl + "/deltas/";
    if (!newest) deltas.Remember(manifest, build.files);
    const std::string frame = EncodeZstdFrame(ManifestText(manifest), kManifestLevel);
    if (!PublishManifest(frame, baseUrl, site, staging, manifests.emplace_back(), error)) return false;
  }
  return true;
}
