#include "update/game_files.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "base/ox_base.h"
#include "base/ox_file.h"
#include "base/ox_path.h"

namespace fs = std::filesystem;

namespace {

// The files the base file system finds under `name`. Its search ignores
// letter case, as the game's original platform does, so "Client.exe"
// answers for "client.exe".
std::vector<std::string> FindGameFiles(const std::string& name) {
  std::vector<std::string> found;
  ox_base::OxBase::GetFileSystem()->FindFiles(found, name, true, false);
  return found;
}

}  // namespace

bool FileExists(const std::string& name) { return !FindGameFiles(name).empty(); }

void DeleteFileIfPresent(const std::string& name) {
  const std::string path = ox_base::NativePath(name);
  const std::string directory = path.substr(0, path.find_last_of('/') + 1);
  for (const std::string& file : FindGameFiles(name)) {
    ox_base::OxBase::GetFileSystem()->Delete(directory + file, false, false);
  }
}

void MoveFileAside(const std::string& from, const std::string& to) {
  std::error_code error;
  if (fs::is_regular_file(ox_base::NativePath(from), error)) {
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
