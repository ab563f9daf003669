#include "update/game_files.h"

#include <filesystem>
#include <system_error>

#include "base/ox_path.h"

namespace fs = std::filesystem;

bool FileExists(const std::string& name) {
  std::error_code error;
  return fs::is_regular_file(ox_base::NativePath(name), error);
}

void DeleteFileIfPresent(const std::string& name) {
  if (FileExists(name)) {
    std::error_code error;
    fs::remove(ox_base::NativePath(name), error);
  }
}

void MoveFileAside(const std::string& from, const std::string& to) {
  if (FileExists(from)) {
    std::error_code error;
    fs::rename(ox_base::NativePath(from), ox_base::NativePath(to), error);
  }
}

bool IsInsideGameDirectory(const std::string& name) {
  if (name.empty()) {
    return false;
  }
  const fs::path path(ox_base::NativePath(name));
  if (path.has_root_path() || (name.size() > 1 && name[1] == ':')) {
    return false;
  }
  for (const auto& part : path) {
    if (part == "..") {
      return false;
    }
  }
  return true;
}
