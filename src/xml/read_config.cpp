#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "xml/tag_scanner.h"
#include "xml/xml_file.h"

namespace {

// What a new GameVersion element starts from. ProductName is carried over,
// so an entry without one inherits the previous entry's.
void ResetEntry(VersionEntry& entry) {
  VersionEntry next;
  next.ProductName = entry.ProductName;
  entry = std::move(next);
}

// Binds the hash and size attributes of one element to the download address
// on the same element. They describe that address's file, so they travel
// with it, whatever position its item takes in the entry's lists; values on
// an element without exactly one address belong to nothing.
class ElementChecks {
 public:
  // An attribute of the element, after it was stored.
  void Note(const std::string& name, const std::string& value, const VersionEntry& entry,
            const ConfigFields& config) {
    if (name == "SourceFileAddr") {
      ++addresses_;
      entryIndex_ = entry.SourceFileAddr.size() - 1;
      documentIndex_ = config.SourceFileAddr.size() - 1;
    } else if (name == "Sha256") {
      item_.Sha256 = value;
    } else if (name == "Size") {
      item_.Size = value;
    } else if (name == "MiniSourceFileAddr") {
      holdsPackage_ = true;
    } else if (name == "MiniSha256") {
      package_.Sha256 = value;
    } else if (name == "MiniSize") {
      package_.Size = value;
    }
  }

  // At the end of the element's tag; the next element starts afresh.
  void Bind(VersionEntry& entry, ConfigFields& config) {
    if (addresses_ == 1) {
      Place(entry, entryIndex_);
      Place(config, documentIndex_);
    }
    if (holdsPackage_) config.MiniSourceFileCheck = package_;
    *this = ElementChecks();
  }

 private:
  void Place(VersionEntry& entry, std::size_t index) const {
    if (entry.SourceFileChecks.size() <= index) entry.SourceFileChecks.resize(index + 1);
    entry.SourceFileChecks[index] = item_;
  }

  FileCheck item_;
  FileCheck package_;
  int addresses_ = 0;
  std::size_t entryIndex_ = 0;
  std::size_t documentIndex_ = 0;
  bool holdsPackage_ = false;
};

// Collects the attributes of one kind of element that only this launcher
// reads (Manifest, Launcher) for the entry it stands in. Only that
// element's own attributes count: the same names elsewhere mean nothing.
template <typename Link>
class OwnElement {
 public:
  using Fields = std::vector<std::pair<const char*, std::string Link::*>>;
  OwnElement(const char* element, Fields fields) : element_(element), fields_(std::move(fields)) {}

  void Note(const TagScanner& scanner, const std::string& name, const std::string& value) {
    const std::size_t length = std::strlen(element_);
    if (scanner.TagLength() != length || std::memcmp(scanner.TagText(), element_, length) != 0) return;
    for (const auto& [key, field] : fields_) {
      if (name == key) {
        link_.*field = value;
        seen_ = true;
      }
    }
  }

  // At the end of the element's tag: the element's link, if it had any of
  // the attributes.
  std::optional<Link> Take() {
    std::optional<Link> link;
    if (seen_) link = link_;
    link_ = Link();
    seen_ = false;
    return link;
  }

 private:
  const char* element_;
  Fields fields_;
  Link link_;
  bool seen_ = false;
};

OwnElement<ManifestLink> ManifestElement() {
  return {"Manifest",
          {{"Format", &ManifestLink::Format},
           {"Href", &ManifestLink::Href},
           {"Digest", &ManifestLink::Digest},
           {"Bytes", &ManifestLink::Bytes},
           {"Mirrors", &ManifestLink::Mirrors}}};
}

OwnElement<LauncherLink> LauncherElement() {
  return {"Launcher",
          {{"Platform", &LauncherLink::Platform},
           {"Href", &LauncherLink::Href},
           {"Digest", &LauncherLink::Digest},
           {"Bytes", &LauncherLink::Bytes}}};
}

// The attributes of the GameVersion element itself that only this
// launcher reads.
struct EntryAttributes {
  std::string Rollout;
};

OwnElement<EntryAttributes> EntryElement() { return {"GameVersion", {{"Rollout", &EntryAttributes::Rollout}}}; }

}  // namespace

std::size_t CXMLFile::ReadConfig() {
  std::size_t known = 0;
  if (data_.empty()) return known;
  static const char kEntryEnd[] = "/GameVersion";
  TagScanner scanner;
  VersionEntry working;
  ElementChecks checks;
  OwnElement<ManifestLink> manifest = ManifestElement();
  OwnElement<LauncherLink> launcher = LauncherElement();
  OwnElement<EntryAttributes> entryElement = EntryElement();
  std::string name;
  std::string value;
  for (std::size_t p = 0; p < data_.size(); ++p) {
    const char byte = data_[p];
    scanner.Step(byte);
    if (byte == '=') {
      // Attributes count wherever they stand; an over-long one is skipped.
      if (ParseAttribute(p, name, value)) {
        if (StoreKey(name, value, working)) ++known;
        checks.Note(name, value, working, config);
        manifest.Note(scanner, name, value);
        launcher.Note(scanner, name, value);
        entryElement.Note(scanner, name, value);
      }
    } else if (byte == '<' || byte == '>') {
      checks.Bind(working, config);
      if (std::optional<ManifestLink> link = manifest.Take()) working.Manifest = std::move(link);
      if (std::optional<LauncherLink> link = launcher.Take()) working.Launchers.push_back(std::move(*link));
      if (std::optional<EntryAttributes> own = entryElement.Take()) working.Rollout = own->Rollout;
      if (byte == '>' && scanner.TagLength() == sizeof(kEntryEnd) - 1 &&
          std::memcmp(scanner.TagText(), kEntryEnd, sizeof(kEntryEnd) - 1) == 0) {
        config.entries.push_back(working);
        ResetEntry(working);
      }
    }
  }
  checks.Bind(working, config);
  return known;
}

bool CXMLFile::StoreKey(const std::string& name, const std::string& value, VersionEntry& entry) {
  for (const SingleKey& key : kSingleKeys) {
    if (name == key.name) {
      config.*(key.field) = value;
      if (key.entryField != nullptr) entry.*(key.entryField) = value;
      return true;
    }
  }
  for (const ListKey& key : kListKeys) {
    if (name == key.name) {
      (config.*(key.list)).push_back(value);
      (entry.*(key.list)).push_back(value);
      return true;
    }
  }
  return false;
}
