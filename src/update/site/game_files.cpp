#include "update/site/game_files.h"

#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "base/init/ox_base.h"
#include "base/files/ox_file.h"
#include "base/files/ox_path.h"

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

std::string MovedAsideName(std::int32_t n) { return "tmpFile" + std::to_string(n); }

bool FileExists(const std::string& name) {
  // Letter case resolved as the disk spells it (from the listings an
  // OxDirectoryListings keeps, where one lives): no folder is read per name.
  const std::optional<std::string> native = ox_base::ToNativePath(name);
  std::error_code error;
  const fs::file_status status =
      native ? fs::symlink_status(ox_base::NativeFilesystemPath(*native), error) : fs::file_status();
  return fs::exists(status) && !fs::is_directory(status);
}

bool ReadGameFile(const std::string& name, std::string& bytes) {
  ox_base::OxFile* fileSystem = ox_base::OxBase::GetFileSystem();
  ox_base::OxArchivePtr file = fileSystem->OpenMemory(name, ox_base::OX_READ_QUIET);
  if (!file) return false;
  bytes.assign(static_cast<std::size_t>(file->GetSize()), '\0');
  const bool read =
      bytes.empty() || file->Serialize(&bytes[0], static_cast<int>(bytes.size())) == static_cast<int>(bytes.size());
  fileSystem->Close(std::move(file));
  return read;
}

void DeleteFileIfPresent(const std::string& name) {
  // The names found come back in the code page, as `name` is written.
  const std::string directory = name.substr(0, name.find_last_of("\\/") + 1);
  for (const std::string& file : FindGameFiles(name)) {
    ox_base::OxBase::GetFileSystem()->Delete(directory + file, false, false);
  }
}

std::string SpellingOnDisk(const std::string& name) {
  const std::optional<std::string> native = ox_base::ToNativePath(name);
  if (!native) {
    return name;
  }
  return ox_base::NameFromNative(*native).value_or(name);
}

namespace {

// A rename cannot leave its file system (a folder the player linked to
// another disk): the file is copied beside its new place, renamed there,
// and only then removed from the old one.
bool MoveAcrossFileSystems(const fs::path& source, const fs::path& destination) {
  std::error_code error;
  fs::path copy = destination;
  copy += ".farLaunch-copy";
  fs::copy_file(source, copy, fs::copy_options::overwrite_existing, error);
  if (!error) fs::rename(copy, destination, error);
  if (error) {
    std::error_code ignored;
    fs::remove(copy, ignored);
    return false;
  }
  fs::remove(source, error);
  return true;
}

}  // namespace

bool MoveFileAside(const std::string& from, const std::string& to) {
  std::error_code error;
  const fs::path source = ox_base::NativeFilesystemPath(ox_base::NativePath(from));
  if (!fs::is_regular_file(source, error)) {
    return false;
  }
  const fs::path destination = ox_base::NativeFilesystemPath(ox_base::NativePath(to));
  fs::rename(source, destination, error);
  if (error == std::errc::cross_device_link) return MoveAcrossFileSystems(source, destination);
  return !error;
}

std::string ThroughLink(const std::string& name) {
  std::error_code error;
  const fs::path path = PathOnDisk(name);
  if (!fs::is_symlink(fs::symlink_status(path, error))) return name;
  const fs::path target = fs::weakly_canonical(path, error);
  if (error) return name;
  return ox_base::NameFromNative(target.u8string()).value_or(name);
}

bool IsInsideGameDirectory(const std::string& name) {
  const std::optional<std::string> native = ox_base::NativeName(name);
  if (name.empty() || !native) {
    return false;
  }
  const fs::path path = ox_base::NativeFilesystemPath(*native);
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

std::vector<std::string> MissingDirectoriesOf(const std::string& name) {
  const std::string path = ox_base::NativePath(name);
  std::vector<std::string> missing;
  for (std::size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    const std::string directory = path.substr(0, slash);
    std::error_code error;
    if (!directory.empty() && !fs::exists(fs::symlink_status(ox_base::NativeFilesystemPath(directory), error))) {
      missing.push_back(directory);
    }
  }
  return missing;
}

bool DirectoryExists(const std::string& path) {
  std::error_code error;
  return fs::is_directory(fs::symlink_status(ox_base::NativeFilesystemPath(path), error));
}

std::filesystem::path PathOnDisk(const std::string& name) {
  return ox_base::NativeFilesystemPath(ox_base::NativePath(name));
}

bool RemoveFileAt(const std::string& name, std::string& problem) {
  const fs::path path = ox_base::NativeFilesystemPath(ox_base::NativePath(name));
  std::error_code error;
  const fs::file_status status = fs::symlink_status(path, error);
  if (!fs::exists(status)) return true;
  // Only what an install can have put there: never a folder or a device.
  if (!fs::is_regular_file(status) && !fs::is_symlink(status)) {
    problem = "something other than a file is in the way";
    return false;
  }
  fs::remove(path, error);
  // Windows refuses to delete a read-only file (an original moved aside
  // would stay for good); Linux removes it, and so does the launcher.
  if (error && fs::is_regular_file(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none) {
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ignored);
    fs::remove(path, error);
  }
  problem = error.message();
  return !error;
}

void RemoveEmptyDirectory(const std::string& path) {
  std::error_code error;
  const fs::path native = ox_base::NativeFilesystemPath(path);
  if (fs::is_empty(native, error) && !error) fs::remove(native, error);
}
