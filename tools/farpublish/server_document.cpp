#include "server_document.h"

namespace {

constexpr std::size_t kMaxValueLength = 511;

// Appends "<name attributes>"; false when a value does not fit.
bool AppendOpeningTag(const char* name, const DocumentAttributes& attributes, std::string& text, std::string& error) {
  text += std::string("<") + name;
  for (const auto& [key, value] : attributes) {
    if (!IsDocumentValue(value)) {
      error = key + "=" + value + " cannot stand in the server document: a value holds no quote, \"=\", \"<\" or " +
              "\">\" and at most 511 bytes";
      return false;
    }
    text += " " + key + "=\"" + value + "\"";
  }
  text += ">";
  return true;
}

}  // namespace

bool IsDocumentValue(std::string_view value) {
  return value.size() <= kMaxValueLength && value.find_first_of("\"'=<>") == std::string_view::npos;
}

bool ServerDocumentText(const std::vector<DocumentEntry>& entries, const DocumentAttributes& site, std::string& text,
                        std::string& error) {
  std::string document = "<?xml version=\"1.0\"?>\n";
  for (const DocumentEntry& entry : entries) {
    if (!AppendOpeningTag("GameVersion", entry.version, document, error)) return false;
    document += "\n";
    for (const DocumentAttributes& item : entry.items) {
      if (!AppendOpeningTag("File", item, document, error)) return false;
      document += "</File>\n";
    }
    for (const DocumentAttributes& launcher : entry.launchers) {
      if (!AppendOpeningTag("Launcher", launcher, document, error)) return false;
      document += "</Launcher>\n";
    }
    if (!entry.manifest.empty()) {
      if (!AppendOpeningTag("Manifest", entry.manifest, document, error)) return false;
      document += "</Manifest>\n";
    }
    // Only this closing tag ends an entry for the launcher.
    document += "</GameVersion>\n";
  }
  if (!AppendOpeningTag("Site", site, document, error)) return false;
  text = document + "</Site>\n";
  return true;
}
