#include "base/files/ox_file_ansi.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/init/ox_base.h"
#include "base/log/ox_log.h"
#include "base/files/ox_native_file.h"
#include "base/files/ox_path.h"
#include "base/files/ox_tree_removal.h"
#include "base/files/ox_wildcard.h"

namespace ox_base {
namespace {

// Opens `native` for writing, creating it when missing; `created` tells
// whether this call made the file.
int OpenForWriting(const std::string& native, unsigned flags, bool& created) {
  const int base = O_WRONLY | O_CLOEXEC | ((flags & OX_WRITE_APPEND) ? O_APPEND : 0);
  for (;;) {
    const int fd = ::open(native.c_str(), base | O_CREAT | O_EXCL, 0666);
    created = fd >= 0;
    if (fd >= 0 || errno != EEXIST || (flags & OX_WRITE_NEW_ONLY)) return fd;
    const int existing = ::open(native.c_str(), base);
    // Removed in between: try creating it again.
    if (existing >= 0 || errno != ENOENT) return existing;
  }
}

}  // namespace

std::FILE* OpenNativeForReading(const std::string& native) {
  std::FILE* file = std::fopen(native.c_str(), "rb");
  struct stat info;
  if (file && (::fstat(::fileno(file), &info) != 0 || S_ISDIR(info.st_mode))) {
    std::fclose(file);
    file = nullptr;
  }
  return file;
}

std::FILE* OpenNativeForWriting(const std::string& native, unsigned flags, bool& refusedAsExisting) {
  bool created = false;
  const int fd = OpenForWriting(native, flags, created);
  if (fd < 0) {
    refusedAsExisting = (flags & OX_WRITE_NEW_ONLY) && errno == EEXIST;
    return nullptr;
  }
  // Truncate only once the lock is held, so a refused second writer leaves
  // the first one's file alone.
  std::FILE* file = nullptr;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ((flags & OX_WRITE_APPEND) || ::ftruncate(fd, 0) == 0))
    file = ::fdopen(fd, (flags & OX_WRITE_APPEND) ? "ab" : "wb");
  if (!file) {
    // An empty file that nobody asked for is not left behind.
    if (created) ::unlink(native.c_str());
    ::close(fd);
  }
  return file;
}

namespace {

bool StatPath(const std::string& path, struct stat& info) { return ::stat(NativePath(path).c_str(), &info) == 0; }

}  // namespace

bool OxFileAnsi::SetWritable(const std::string& path, unsigned flags) {
  struct stat info;
  if (!StatPath(path, info)) return false;
  mode_t mode = info.st_mode & 07777;
  mode = (flags & OX_ATTR_WRITABLE) ? (mode | S_IRUSR | S_IWUSR) : (mode & ~(S_IWUSR | S_IWGRP | S_IWOTH));
  return ::chmod(NativePath(path).c_str(), mode) == 0;
}

unsigned OxFileAnsi::GetAttributes(const std::string& path) {
  struct stat info;
  if (!StatPath(path, info)) return 0;
  unsigned attributes = 0;
  if (info.st_mode & S_IRUSR) attributes |= OX_ATTR_READABLE;
  if (info.st_mode & S_IWUSR) attributes |= OX_ATTR_WRITABLE;
  return attributes;
}

bool OxFileAnsi::Exists(const std::string& path) {
  struct stat info;
  return StatPath(path, info);
}

bool OxFileAnsi::Delete(const std::string& path, bool mustExist, bool force) {
  const std::string native = NativePath(path);
  // Forcing makes a read-only file writable first; a link is removed as it
  // is, since changing the mode would change the file it points to.
  struct stat info;
  if (force && ::lstat(native.c_str(), &info) == 0 && !S_ISLNK(info.st_mode)) {
    SetWritable(path, OX_ATTR_WRITABLE);
  }
  if (::unlink(native.c_str()) == 0) return true;
  return errno == ENOENT && !mustExist;
}

int64_t OxFileAnsi::GetCreationTime(const std::string& path) {
  struct stat info;
  return StatPath(path, info) ? static_cast<int64_t>(info.st_ctime) : -1;
}

int64_t OxFileAnsi::GetAccessTime(const std::string& path) {
  struct stat info;
  return StatPath(path, info) ? static_cast<int64_t>(info.st_atime) : -1;
}

int64_t OxFileAnsi::GetModifyTime(const std::string& path) {
  struct stat info;
  return StatPath(path, info) ? static_cast<int64_t>(info.st_mtime) : -1;
}

bool OxFileAnsi::MakeDirectory(const std::string& path, bool tree) {
  if (tree) return OxFile::MakeDirectory(path, true);
  std::string native = NativePath(path);
  if (::mkdir(native.c_str(), 0777) == 0) return true;
  struct stat info;
  return errno == EEXIST && ::stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool OxFileAnsi::DeleteDirectory(const std::string& path, bool mustExist, bool tree) {
  const std::string native = NativePath(path);
  struct stat info;
  if (::lstat(native.c_str(), &info) != 0) return errno == ENOENT && !mustExist;
  return tree ? RemoveTree(native) : ::rmdir(native.c_str()) == 0;
}

void OxFileAnsi::FindFiles(std::vector<std::string>& list, const std::string& pattern, bool files,
                           bool directories) {
  list.clear();
  std::string folder, last;
  if (!SplitFindPattern(pattern, folder, last)) return;
  const std::string directory = folder.empty() ? "." : folder;
  DIR* dir = ::opendir(directory.c_str());
  if (!dir) return;
  while (struct dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == ".." || !MatchWildcard(last.c_str(), name.c_str())) continue;
    // A symbolic link is an entry of its own, never a directory: a tree
    // removal must delete the link, not walk into what it points at.
    bool isDirectory = entry->d_type == DT_DIR;
    if (entry->d_type == DT_UNKNOWN) {
      struct stat info;
      isDirectory = ::lstat((directory + "/" + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }
    if (!(isDirectory ? directories : files)) continue;
    if (std::optional<std::string> found = NameFromNative(name)) {
      list.push_back(*found);
    } else if (SmartPtr<OxLog> log = OxBase::GetBaseLog()) {
      log->Error("OxFile: %s%s left out: its name is no text of the code page\n", folder.c_str(), name.c_str());
    }
  }
  ::closedir(dir);
}

bool OxFileAnsi::SetWorkingDirectory(const std::string& path) { return ::chdir(NativePath(path).c_str()) == 0; }

std::string OxFileAnsi::GetWorkingDirectory() {
  char buffer[1024];
  if (!::getcwd(buffer, sizeof(buffer))) return std::string();
  return NameFromNative(buffer).value_or(std::string());
}

}  // namespace ox_base
