#include "site_document.h"

#include "manifest/mirror_list.h"
#include "manifest/release_manifest.h"
#include "rollout_share.h"
#include "server_document.h"

namespace {

// The full package is downloaded under this name; the launcher's clean-up
// deletes it after the install.
constexpr char kFullPackageTarget[] = "client.zip";
constexpr char kFullPackageType[] = "full";

DocumentAttributes VersionOf(const BuildFolder& build, const std::string& product) {
  const BuildVersion& version = build.version;
  return {{"MainVersion", std::to_string(version.main)},
          {"SubVersion", std::to_string(version.sub)},
          {"FileVersion", std::to_string(version.file)},
          {"PackageCode", version.packageCode},
          {"ProductName", product},
          {"UpdateVersion", version.packageCode}};
}

// The settings the publisher gave; the launcher reads a missing one as empty.
DocumentAttributes SettingsOf(const BuildOptions& options) {
  const std::pair<const char*, const std::string*> settings[] = {
      {"WebAddr", &options.webAddr},           {"WebAddr1", &options.webAddr},
      {"UpdateBlockAddr", &options.blockAddr}, {"DumpFtpServer", &options.dumpFtpServer},
      {"DumpFtpServerPort", &options.dumpFtpPort}};
  DocumentAttributes attributes;
  for (const auto& [name, value] : settings) {
    if (!value->empty()) attributes.emplace_back(name, *value);
  }
  return attributes;
}

// Names none of the keys launchers read (the known ones count on any
// element), and only hex and decimal values besides the addresses. Only
// the newest release names mirrors: launchers fetch objects for it alone.
DocumentAttributes ManifestOf(const PublishedManifest& manifest, const std::vector<std::string>& mirrors) {
  DocumentAttributes attributes = {{"Format", kManifestFormat},
                                   {"Href", manifest.address},
                                   {"Digest", manifest.digest.sha256},
                                   {"Bytes", std::to_string(manifest.digest.size)}};
  if (!mirrors.empty()) attributes.emplace_back("Mirrors", MirrorsValue(mirrors));
  return attributes;
}

// As the Manifest element: names none of the keys, so launchers that do
// not read the element take the entry's File items as before.
DocumentAttributes LauncherOf(const ItemPlan& item, const std::string& address, const FileDigest& digest) {
  return {{"Platform", item.platform},
          {"Href", address},
          {"Digest", digest.sha256},
          {"Bytes", std::to_string(digest.size)}};
}

}  // namespace

bool SiteDocumentText(const ReleasePlan& plan, const std::vector<PublishedManifest>& manifests,
                      const BuildOptions& options, const ArchivePreparer& prepare, std::string& text,
                      std::string& error) {
  const auto address = [&](const ArchivePlan& archive) { return options.baseUrl + "/" + archive.fileName; };
  std::vector<DocumentEntry> entries;
  for (std::size_t i = 0; i < plan.entries.size(); ++i) {
    const EntryPlan& entryPlan = plan.entries[i];
    DocumentEntry& entry = entries.emplace_back();
    entry.version = VersionOf(entryPlan.build, options.product);
    const std::vector<std::string> none;
    const bool newest = i + 1 == plan.entries.size();
    if (i < manifests.size()) entry.manifest = ManifestOf(manifests[i], newest ? options.mirrors : none);
    if (newest && options.rollout) SetRolloutShare(entry.version, *options.rollout);
    for (const ItemPlan& item : entryPlan.items) {
      FileDigest digest;
      if (!prepare(item.archive, digest, error)) return false;
      if (item.fileItem) {
        entry.items.push_back({{"Type", item.type},
                               {"TargetFileName", item.archive.fileName},
                               {"SourceFileAddr", address(item.archive)},
                               {"Sha256", digest.sha256},
                               {"Size", std::to_string(digest.size)}});
      }
      if (!item.platform.empty()) entry.launchers.push_back(LauncherOf(item, address(item.archive), digest));
    }
  }
  FileDigest digest;
  if (!prepare(plan.fullPackage, digest, error)) return false;
  DocumentAttributes site = SettingsOf(options);
  site.insert(site.end(), {{"MiniType", kFullPackageType},
                           {"MiniSourceFileAddr", address(plan.fullPackage)},
                           {"MiniTargetFileName", kFullPackageTarget},
                           {"MiniSha256", digest.sha256},
                           {"MiniSize", std::to_string(digest.size)}});
  return ServerDocumentText(entries, site, text, error);
}
