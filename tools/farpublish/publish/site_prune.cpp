#include "publish/site_prune.h"

#include <algorithm>
#include <set>
#include <system_error>

#include "command_line.h"
#include "manifest/release_manifest.h"
#include "document/publisher_key.h"
#include "publish/publishing_order.h"
#include "document/server_document.h"
#include "trust/signature_check.h"
#include "update/site/manifest_reading.h"
#include "update/site/object_content.h"
#include "update/site/update_documents.h"
#include "whole_file.h"

namespace fs = std::filesystem;

namespace {

constexpr char kSignatureSuffix[] = ".minisig";
constexpr char kManifestsFolder[] = "manifests/";
// More releases than any site lists: a bound that keeps the number sane.
constexpr std::size_t kMostKept = 100000;

bool ParseKeep(const std::string& text, std::size_t& keep, std::string& error) {
  if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos ||
      std::stoul(text) == 0 || std::stoul(text) > kMostKept) {
    error = "--keep takes a number of releases from 1 to " + std::to_string(kMostKept) + ", not '" + text + "'";
    return false;
  }
  keep = std::stoul(text);
  return true;
}

// The text after an address's last "/": the name of a file the site keeps
// in the folder the address names.
std::string LastSegment(const std::string& address) { return address.substr(address.rfind('/') + 1); }

// Every address the document holds.
std::vector<std::string> NamedAddresses(const ServerConfig& server) {
  std::vector<std::string> addresses = {server.MiniSourceFileAddr, server.UpdateBlockAddr};
  for (const VersionEntry& entry : server.entries) {
    for (const UpdateFileItem& item : EveryFileItem(entry)) addresses.push_back(item.SourceFileAddr);
    if (entry.Manifest) addresses.push_back(entry.Manifest->Href);
  }
  addresses.erase(std::remove(addresses.begin(), addresses.end(), std::string()), addresses.end());
  return addresses;
}

// A site file the document may name: whatever address ends in its path.
bool IsNamed(const std::string& relative, const std::vector<std::string>& addresses) {
  const std::string tail = "/" + relative;
  return std::any_of(addresses.begin(), addresses.end(), [&](const std::string& address) {
    return address == relative ||
           (address.size() > tail.size() && address.compare(address.size() - tail.size(), tail.size(), tail) == 0);
  });
}

// The files of the site that builds leave behind and prune may remove.
bool IsPrunable(const std::string& relative) {
  for (const char* folder : {kManifestsFolder, kObjectsFolder, kDeltasFolder}) {
    if (relative.rfind(folder, 0) == 0) return true;
  }
  return relative.find('/') == std::string::npos && relative.size() > 4 &&
         relative.compare(relative.size() - 4, 4, ".zip") == 0;
}

class SitePruner {
 public:
  SitePruner(const PruneOptions& options, std::ostream& out, std::ostream& err)
      : options_(options), out_(out), err_(err) {}

  bool Run() {
    std::string document;
    if (!ReadDocument(document) || !CheckSignature(document)) return false;
    ServerConfig server;
    std::string reason;
    if (!ReadServerDocument(document, true, server, reason) || server.entries.empty()) {
      return Fail(DocumentPath().string() + " does not read (" + (reason.empty() ? "it lists no version" : reason) +
                  "); nothing pruned");
    }
    addresses_ = NamedAddresses(server);
    needed_ = {kServerDocumentName, std::string(kServerDocumentName) + kSignatureSuffix};
    const std::size_t first = server.entries.size() - std::min(options_.keep, server.entries.size());
    for (std::size_t i = first; i < server.entries.size(); ++i) {
      if (!KeepManifestContents(server.entries[i])) return false;
    }
    std::vector<std::pair<fs::path, std::string>> unneeded;
    if (!FindUnneeded(unneeded)) return false;
    return RemoveAll(unneeded);
  }

 private:
  fs::path DocumentPath() const { return options_.site / kServerDocumentName; }

  bool Fail(const std::string& text) {
    err_ << "farpublish: " << text << "\n";
    return false;
  }

  bool ReadDocument(std::string& document) {
    if (!ReadWholeFile(DocumentPath(), document)) {
      return Fail("cannot read " + DocumentPath().string() + ", the site's document; nothing pruned");
    }
    return true;
  }

  bool CheckSignature(const std::string& document) {
    if (!options_.publicKey) return true;
    std::optional<PublicKey> key;
    std::string error;
    if (!LoadPublicKey(*options_.publicKey, key, error)) return Fail(error + "; nothing pruned");
    const fs::path signaturePath = DocumentPath().string() + kSignatureSuffix;
    std::string signature;
    if (!ReadWholeFile(signaturePath, signature)) {
      return Fail("cannot read " + signaturePath.string() + ", the document's signature; nothing pruned");
    }
    const Verification verification = VerifySignature(*key, document, signature);
    if (!verification.Valid()) {
      return Fail(signaturePath.string() + " is not the publisher's signature of the document (" + verification.reason +
                  "); nothing pruned");
    }
    return true;
  }

  // The manifest of a kept release, checked against the document, keeps
  // every object and delta it lists.
  bool KeepManifestContents(const VersionEntry& entry) {
    if (!entry.Manifest) return true;
    const ManifestLink& link = *entry.Manifest;
    const fs::path path = options_.site / kManifestsFolder / LastSegment(link.Href);
    const std::string label = "the manifest of version " + entry.PackageCode + " (" + path.string() + ")";
    if (FileSha256(path) != link.Digest) {
      return Fail(label + " is missing or not the one the document names (Digest " + link.Digest + "); nothing pruned");
    }
    ReleaseManifest manifest;
    std::string problem;
    if (!ReadManifestFrame(path, manifest, problem)) return Fail(label + " does not read: " + problem);
    for (const ManifestFile& file : manifest.files) {
      needed_.insert(kObjectsFolder + ObjectName(file.sha256));
      for (const ManifestDelta& delta : file.deltas) {
        needed_.insert(kDeltasFolder + DeltaName(delta.sourceSha256, file.sha256));
      }
    }
    return true;
  }

  // Each file prune may remove that nothing needs, by path, with its
  // relative name, in name order.
  bool FindUnneeded(std::vector<std::pair<fs::path, std::string>>& unneeded) {
    std::error_code failure;
    fs::recursive_directory_iterator it(options_.site, failure);
    for (; !failure && it != fs::recursive_directory_iterator(); it.increment(failure)) {
      const fs::file_status status = it->symlink_status(failure);
      if (failure) break;
      if (!fs::is_regular_file(status)) continue;
      const std::string relative = it->path().lexically_relative(options_.site).generic_string();
      if (IsPrunable(relative) && needed_.count(relative) == 0 && !IsNamed(relative, addresses_)) {
        unneeded.emplace_back(it->path(), relative);
      }
    }
    if (failure) return Fail("cannot read " + options_.site.string() + ": " + failure.message() + "; nothing pruned");
    std::sort(unneeded.begin(), unneeded.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    return true;
  }

  bool RemoveAll(const std::vector<std::pair<fs::path, std::string>>& unneeded) {
    std::uintmax_t freed = 0;
    const char* verb = options_.dryRun ? "would remove " : "removed ";
    for (const auto& [path, relative] : unneeded) {
      std::error_code failure;
      const std::uintmax_t size = fs::file_size(path, failure);
      if (!options_.dryRun && !failure) fs::remove(path, failure);
      if (failure) return Fail("cannot remove " + path.string() + ": " + failure.message());
      out_ << verb << relative << " (" << size << " bytes)\n";
      freed += size;
      if (!options_.dryRun) RemoveEmptyFolder(path.parent_path());
    }
    out_ << unneeded.size() << (unneeded.size() == 1 ? " file, " : " files, ") << freed
         << (options_.dryRun ? " bytes would be freed\n" : " bytes freed\n");
    return true;
  }

  // An objects/XX folder the last object left.
  void RemoveEmptyFolder(const fs::path& folder) {
    std::error_code ignored;
    if (folder.parent_path() == options_.site / "objects" && fs::is_empty(folder, ignored)) {
      fs::remove(folder, ignored);
    }
  }

  const PruneOptions& options_;
  std::ostream& out_;
  std::ostream& err_;
  std::vector<std::string> addresses_;
  std::set<std::string> needed_;
};

}  // namespace

bool ParsePruneOptions(const std::vector<std::string>& args, PruneOptions& options, std::string& error) {
  options = {};
  CommandLine line;
  if (!SplitCommandLine(args, {"--keep", "--key"}, line, error, {"--dry-run"})) return false;
  bool keepGiven = false;
  for (const auto& [name, value] : line.options) {
    if (name == "--keep") {
      if (!ParseKeep(value, options.keep, error)) return false;
      keepGiven = true;
    }
    if (name == "--key") options.publicKey = value;
    if (name == "--dry-run") options.dryRun = true;
  }
  if (line.positional.size() != 1) {
    error = "prune takes SITE, the folder of a built site";
    return false;
  }
  if (!keepGiven) {
    error = "prune needs --keep N, the number of newest releases whose files stay";
    return false;
  }
  options.site = SiteFolder(line.positional[0]);
  return true;
}

bool PruneSite(const PruneOptions& options, std::ostream& out, std::ostream& err) {
  return SitePruner(options, out, err).Run();
}
