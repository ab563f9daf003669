#include "build/site_build.h"

#include <algorithm>
#include <optional>
#include <system_error>

#include "build/archive_publishing.h"
#include "base/files/ox_letter_case.h"
#include "build/object_store.h"
#include "document/publisher_key.h"
#include "build/release_manifests.h"
#include "build/release_plan.h"
#include "document/server_document.h"
#include "document/signature_time.h"
#include "document/site_document.h"
#include "build/site_staging.h"
#include "document/starting_version_document.h"
#include "trust/signing.h"
#include "update/site/address_scheme.h"
#include "update/site/release_names.h"
#include "build/version_folders.h"
#include "whole_file.h"

namespace fs = std::filesystem;

namespace {

constexpr char kSignatureSuffix[] = ".minisig";

// What the run says: warnings and the error at once, the files of SITE
// once they are in place.
class Report {
 public:
  Report(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}
  void Warn(const std::string& text) { err_ << "farpublish: warning: " << text << "\n"; }
  bool Fail(const std::string& text) {
    err_ << "farpublish: " << text << "\n";
    return false;
  }
  void File(const char* what, const std::string& name) { files_ += std::string(what) + " " + name + "\n"; }
  // A folder of many files, in one line.
  void Folder(const char* name, int written, int kept) {
    files_ += std::string(name) + ": " + std::to_string(written) + " written, " + std::to_string(kept) + " kept\n";
  }
  bool Done() {
    out_ << files_;
    return true;
  }

 private:
  std::ostream& out_;
  std::ostream& err_;
  std::string files_;
};

// A file written beside its place first, so that a folder it cannot go
// into stops the build before SITE changes; Commit moves it in, and it is
// removed when that never comes.
class PendingFile {
 public:
  explicit PendingFile(fs::path place) : place_(std::move(place)), pending_(place_) { pending_ += ".farpublish"; }
  ~PendingFile() {
    std::error_code ignored;
    fs::remove(pending_, ignored);
  }
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  bool Write(const std::string& bytes, std::string& error) { return WriteNewFile(pending_, bytes, error); }
  bool Commit(std::string& error) {
    std::error_code failure;
    fs::rename(pending_, place_, failure);
    if (failure) error = "cannot move " + pending_.string() + " to " + place_.string() + ": " + failure.message();
    return !failure;
  }

 private:
  fs::path place_;
  fs::path pending_;
};

// SITE as an absolute path without a trailing separator, so that the
// temporary folder lands beside it.
fs::path SitePath(const fs::path& site) {
  fs::path path = fs::absolute(site).lexically_normal();
  if (!path.has_filename() && path.has_parent_path()) path = path.parent_path();
  return path;
}

bool ReadBuilds(const BuildOptions& options, std::vector<ClientBuild>& builds, std::vector<std::string>& warnings,
                std::string& error) {
  std::vector<BuildFolder> folders;
  if (!ListBuildFolders(options.versions, folders, error)) return false;
  for (const BuildFolder& folder : folders) {
    builds.push_back({folder, {}});
    if (!ListBuildFiles(folder.path, options.symlinks, builds.back().files, warnings, error)) return false;
  }
  return true;
}

struct Signer {
  std::optional<SecretKey> key;
  SignedFields fields{kServerDocumentName, 0};
};

// The document names the addresses it is served under, so that launchers
// refuse it in place of another product's or channel's.
bool PrepareSigner(const BuildOptions& options, Signer& signer, std::string& error) {
  if (!options.signingKey) return true;
  signer.fields.timestamp = SigningTimeNow();
  signer.fields.expires = ExpiryOf(signer.fields.timestamp, options.expiryDays);
  signer.fields.urls.push_back(options.baseUrl + "/" + kServerDocumentName);
  signer.fields.urls.insert(signer.fields.urls.end(), options.alsoServedAt.begin(), options.alsoServedAt.end());
  return LoadPublisherKey(*options.signingKey, signer.key, error);
}

// One line per name a game directory on Windows, or in the launcher's code
// page, cannot hold. False when there was any.
bool CheckReleaseNames(const std::vector<ClientBuild>& builds, Report& report) {
  bool sound = true;
  for (const ClientBuild& build : builds) {
    std::vector<std::string> names;
    for (const BuildFile& file : build.files) names.push_back(file.name);
    for (const std::string& problem : ReleaseNameProblems(names)) {
      report.Fail(build.folder.name + "/" + problem);
      sound = false;
    }
  }
  return sound;
}

// Each release's manifest, with the objects and deltas it names; all of it
// moves in before the document that names it.
bool PublishManifestsOf(const std::vector<ClientBuild>& builds, const BuildOptions& options, const fs::path& site,
                        SiteStaging& staging, Report& report, std::vector<PublishedManifest>& manifests,
                        std::string& error) {
  ObjectStore objects(site, staging);
  DeltaStore deltas(site, staging, options.deltaReleases, options.deltaLevel);
  if (!PublishManifests(builds, options.baseUrl, site, staging, objects, deltas, manifests, error)) return false;
  const auto keptManifests = std::count_if(manifests.begin(), manifests.end(),
                                           [](const PublishedManifest& manifest) { return manifest.kept; });
  report.Folder("manifests/", static_cast<int>(manifests.size() - keptManifests), static_cast<int>(keptManifests));
  report.Folder("objects/", objects.Written(), objects.Kept());
  report.Folder("deltas/", deltas.Written(), deltas.Kept());
  for (const std::string& warning : deltas.Warnings()) report.Warn(warning);
  return true;
}

}  // namespace

bool BuildSite(const BuildOptions& options, std::ostream& out, std::ostream& err) {
  Report report(out, err);
  std::string error;
  const fs::path site = SitePath(options.site);
  std::error_code failure;
  if (fs::exists(site, failure) && !fs::is_directory(site, failure)) {
    return report.Fail(site.string() + " is not a folder");
  }

  std::vector<ClientBuild> builds;
  ReleasePlan plan;
  Signer signer;
  std::vector<std::string> linkWarnings;
  if (!ReadBuilds(options, builds, linkWarnings, error)) return report.Fail(error);
  for (const std::string& warning : linkWarnings) report.Warn(warning);
  if (!CheckReleaseNames(builds, report)) return false;
  if (!PrepareSigner(options, signer, error) || !PlanRelease(builds, plan, error)) return report.Fail(error);
  for (const std::string& warning : plan.warnings) report.Warn(warning);
  if (SchemeOf(options.baseUrl) != AddressScheme::Http) {
    report.Warn("the launcher downloads only http:// and https:// addresses; it would fail at every item under " +
                options.baseUrl);
  }
  if (options.webAddr.empty()) {
    report.Warn("no --web-addr: the launcher shows no page, and its page is where players start the game");
  } else if (ox_base::FoldLetterCase(options.webAddr.substr(0, 8)) != "https://") {
    report.Warn("--web-addr is not https: the page decides which server the game connects to, and anyone on "
                "the way can change a page served over http");
  }

  const std::unique_ptr<SiteStaging> staging = SiteStaging::Create(site, error);
  if (!staging) return report.Fail(error);
  const ArchivePreparer prepare = [&](const ArchivePlan& archive, FileDigest& digest, std::string& reason) {
    PreparedArchive prepared;
    if (!PrepareArchive(archive, site, *staging, prepared, reason)) return false;
    report.File(prepared.kept ? "kept" : "wrote", archive.fileName);
    digest = prepared.digest;
    return true;
  };
  std::vector<PublishedManifest> manifests;
  if (options.manifests && !PublishManifestsOf(builds, options, site, *staging, report, manifests, error)) {
    return report.Fail(error);
  }
  std::string document;
  if (!SiteDocumentText(plan, manifests, options, prepare, document, error) ||
      !WriteNewFile(staging->Stage(kServerDocumentName), document, error)) {
    return report.Fail(error);
  }
  report.File("wrote", kServerDocumentName);

  const std::string signatureName = std::string(kServerDocumentName) + kSignatureSuffix;
  std::vector<std::string> obsolete;
  if (signer.key) {
    const TrustResult<std::string> signature =
        SignDocument(*signer.key, document, signer.fields);
    if (!signature.value) return report.Fail(signature.error);
    if (!WriteNewFile(staging->Stage(signatureName), *signature.value, error)) return report.Fail(error);
    report.File("wrote", signatureName);
  } else if (fs::exists(site / signatureName, failure)) {
    obsolete.push_back(signatureName);
    report.Warn("deleted " + signatureName + ", which signed the previous document: launchers that hold the " +
                "publisher key refuse the new one until it is signed (--sign)");
  }
  std::optional<PendingFile> versionDocument;
  if (options.gameFiles) {
    versionDocument.emplace(*options.gameFiles / "updatecfg.xml");
    if (!versionDocument->Write(StartingVersionDocument(builds.back().folder.version, options), error)) {
      return report.Fail(error);
    }
  }
  if (!staging->Publish(obsolete, error)) return report.Fail(error);
  if (versionDocument) {
    if (!versionDocument->Commit(error)) return report.Fail(site.string() + " is built, but " + error);
    report.File("wrote", (*options.gameFiles / "updatecfg.xml").string());
  }
  return report.Done();
}
