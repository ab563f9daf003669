#include "base/ox_letter_case.h"

#include <dirent.h>
#include <sys/stat.h>

#include <optional>

namespace ox_base {
namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

bool SameIgnoringAsciiCase(const std::string& a, const char* b) {
  auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; };
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i]))) return false;
  }
  return i == a.size() && b[i] == '\0';
}

// The entry of `directory` that spells `name` in another letter case.
std::optional<std::string> FindSpelling(const std::string& directory, const std::string& name) {
  DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
  if (!dir) return std::nullopt;
  std::optional<std::string> found;
  while (const struct dirent* entry = ::readdir(dir)) {
    if (SameIgnoringAsciiCase(name, entry->d_name) && (!found || *found > entry->d_name)) found = entry->d_name;
  }
  ::closedir(dir);
  return found;
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

}  // namespace ox_base
