#include "build/version_folders.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool ReadFolderNames(const fs::path& versions, std::vector<BuildFolder>& folders, std::string& error) {
  std::error_code failure;
  fs::directory_iterator it(versions, failure);
  for (; !failure && it != fs::directory_iterator(); it.increment(failure)) {
    const std::string name = it->path().filename().string();
    const fs::file_status status = it->symlink_status(failure);
    if (failure) break;
    if (!fs::is_directory(status)) {
      error = it->path().string() + " is not a build folder (each entry of VERSIONS is a folder " +
              "named <PackageCode>-<Main>.<Sub>.<File>)";
      return false;
    }
    const std::optional<BuildVersion> version = ParseBuildFolderName(name);
    if (!version) {
      error = "build folder name '" + name + "' is not <PackageCode>-<Main>.<Sub>.<File> " +
              "(for example 0001-1.0.1; the code holds ASCII letters and digits)";
      return false;
    }
    folders.push_back({*version, name, it->path()});
  }
  if (failure) {
    error = "cannot read " + versions.string() + ": " + failure.message();
    return false;
  }
  return true;
}

}  // namespace

bool ListBuildFolders(const fs::path& versions, std::vector<BuildFolder>& folders, std::string& error) {
  folders.clear();
  if (!ReadFolderNames(versions, folders, error)) return false;
  if (folders.empty()) {
    error = versions.string() + " holds no build folder";
    return false;
  }
  // std::string compares as unsigned bytes, as the launcher does.
  std::sort(folders.begin(), folders.end(), [](const BuildFolder& a, const BuildFolder& b) {
    return a.version.packageCode < b.version.packageCode;
  });
  for (std::size_t i = 1; i < folders.size(); ++i) {
    const BuildFolder& before = folders[i - 1];
    const BuildFolder& after = folders[i];
    if (before.version.packageCode == after.version.packageCode) {
      error = "build folders " + before.name + " and " + after.name + " share the package code " +
              after.version.packageCode;
      return false;
    }
    if (VersionIsLower(after.version, before.version)) {
      error = "package codes out of order: the launcher installs " + before.name + " before " + after.name +
              " (codes compare byte by byte), but its version is higher; give codes a fixed number of digits";
      return false;
    }
  }
  return true;
}
