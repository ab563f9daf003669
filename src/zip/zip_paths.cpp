#include "zip/zip_paths.h"

#include <system_error>

#include "base/files/ox_path.h"

bool StaysBelowRoot(const std::string& name) {
  if (name.empty()) return false;
  if (name[0] == '/' || name[0] == '\\') return false;
  if (name.size() > 1 && name[1] == ':') return false;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of("/\\", start);
    if (end == std::string::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0) return false;
    start = end + 1;
  }
  return true;
}

bool EndsWithSeparator(const std::string& name) {
  return !name.empty() && (name.back() == '/' || name.back() == '\\');
}

void CreateDirectoryChain(const std::filesystem::path& root, const std::string& path) {
  std::size_t end = 0;
  while (end != std::string::npos) {
    end = path.find('/', end + 1);
    const std::string part = path.substr(0, end);
    // Doubled or trailing separators name the directory already made.
    if (part.empty() || part.back() == '/') continue;
    const std::filesystem::path directory = root / ox_base::NativeFilesystemPath(part);
    std::error_code error;
    if (std::filesystem::is_directory(directory, error)) continue;
    if (!std::filesystem::create_directory(directory, error)) return;
  }
}
