#include <cstring>

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

}  // namespace

void CXMLFile::ReadConfig() {
  if (data_.empty()) return;
  static const char kEntryEnd[] = "/GameVersion";
  TagScanner scanner;
  VersionEntry working;
  std::string name;
  std::string value;
  for (std::size_t p = 0; p < data_.size(); ++p) {
    const char byte = data_[p];
    scanner.Step(byte);
    if (byte == '=') {
      // Attributes count wherever they stand; an over-long one is skipped.
      if (ParseAttribute(p, name, value)) StoreKey(name, value, working);
    } else if (byte == '>' && scanner.TagLength() == sizeof(kEntryEnd) - 1 &&
               std::memcmp(scanner.TagText(), kEntryEnd, sizeof(kEntryEnd) - 1) == 0) {
      config.entries.push_back(working);
      ResetEntry(working);
    }
  }
}

void CXMLFile::StoreKey(const std::string& name, const std::string& value, VersionEntry& entry) {
  for (const SingleKey& key : kSingleKeys) {
    if (name == key.name) {
      config.*(key.field) = value;
      if (key.entryField != nullptr) entry.*(key.entryField) = value;
      return;
    }
  }
  for (const ListKey& key : kListKeys) {
    if (name == key.name) {
      (config.*(key.list)).push_back(value);
      (entry.*(key.list)).push_back(value);
      return;
    }
  }
}
