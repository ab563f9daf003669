#include "update/gamedir/item_downloads.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/files/ox_letter_case.h"
#include "net/partial_download.h"

namespace fs = std::filesystem;

namespace {

// The entry's code comes from the server: anything but letters, digits,
// '-' and '_' is written as %XX, so the name stays one plain component.
std::string NameSafe(const std::string& text) {
  std::string safe;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || c == '-' ||
        c == '_') {
      safe += c;
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", byte);
      safe += hex;
    }
  }
  return safe;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::string ItemDownloadName(const std::string& packageCode, std::size_t itemNumber) {
  return kItemDownloadPrefix + NameSafe(packageCode) + "." + std::to_string(itemNumber);
}

bool IsItemDownloadName(const std::string& name) {
  const std::string prefix = ox_base::FoldLetterCase(kItemDownloadPrefix);
  return name.find_first_of("/\\") == std::string::npos && name.size() > prefix.size() &&
         ox_base::FoldLetterCase(name).compare(0, prefix.size(), prefix) == 0;
}

void DeleteFinishedItemDownloads() {
  const std::string part = PartialDownload::PartName("");
  const std::string meta = PartialDownload::MetaName("");
  std::error_code error;
  for (fs::directory_iterator it(".", error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (!IsItemDownloadName(name) || EndsWith(name, part) || EndsWith(name, meta)) continue;
    std::error_code ignored;
    if (fs::is_regular_file(it->symlink_status(ignored))) fs::remove(it->path(), ignored);
  }
}
