#include "base/files/ox_letter_case.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstring>
#include <map>
#include <optional>
#include <set>

namespace ox_base {
namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

// A directory's names by their folded form; each set in byte order.
using Listing = std::map<std::string, std::set<std::string>>;

Listing ReadListing(const std::string& directory) {
  Listing listing;
  DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
  if (!dir) return listing;
  while (const struct dirent* entry = ::readdir(dir)) listing[FoldLetterCase(entry->d_name)].insert(entry->d_name);
  ::closedir(dir);
  return listing;
}

// The first entry in byte order whose folded name is `folded`, read afresh.
std::optional<std::string> ScanForSpelling(const std::string& directory, const std::string& folded) {
  DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
  if (!dir) return std::nullopt;
  std::optional<std::string> found;
  while (const struct dirent* entry = ::readdir(dir)) {
    const char* spelling = entry->d_name;
    if (std::strlen(spelling) == folded.size() && FoldLetterCase(spelling) == folded && (!found || *found > spelling)) {
      found = spelling;
    }
  }
  ::closedir(dir);
  return found;
}

// The listings kept while an OxDirectoryListings lives on this thread.
thread_local int t_listingScopes = 0;
thread_local std::map<std::string, Listing> t_listings;

// The entry of `directory` that spells `name` in another letter case.
std::optional<std::string> FindSpelling(const std::string& directory, const std::string& name) {
  const std::string folded = FoldLetterCase(name);
  if (t_listingScopes == 0) return ScanForSpelling(directory, folded);
  auto kept = t_listings.find(directory);
  if (kept == t_listings.end()) kept = t_listings.emplace(directory, ReadListing(directory)).first;
  std::set<std::string>& spellings = kept->second[folded];
  // Kept names may have gone since (moved aside, deleted): the disk decides.
  for (const std::string& spelling : spellings) {
    if (Exists(directory + spelling)) return spelling;
  }
  spellings.insert(name);
  return std::nullopt;
}

}  // namespace

std::string ResolveLetterCase(const std::string& path) {
  if (path.empty() || Exists(path)) return path;
  std::string resolved;
  bool missing = false;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string component = path.substr(start, end - start);
    const std::string directory = resolved;
    if (!missing && !component.empty() && component != "." && component != "..") {
      if (Exists(resolved + component)) {
        resolved += component;
      } else if (std::optional<std::string> spelling = FindSpelling(directory, component)) {
        resolved += *spelling;
      } else {
        missing = true;
        resolved += component;
      }
    } else {
      resolved += component;
    }
    if (end < path.size()) resolved += '/';
    start = end + 1;
  }
  return resolved;
}

OxDirectoryListings::OxDirectoryListings() { ++t_listingScopes; }

OxDirectoryListings::~OxDirectoryListings() {
  if (--t_listingScopes == 0) t_listings.clear();
}

}  // namespace ox_base
