#include "base/ox_file_ansi.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/ox_base.h"
#include "base/ox_file_archive.h"
#include "base/ox_log.h"
#include "base/ox_path.h"

namespace ox_base {
namespace {

void LogOpenFailed(const std::string& path) {
  if (SmartPtr<OxLog> log = OxBase::GetBaseLog()) log->Error("OxFile: File open failed: %s\n", path.c_str());
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// "*" matches any run, "?" one byte; letters compare without case, as file
// names do on the launcher's original platform.
bool MatchWildcard(const char* pattern, const char* name) {
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name) {
    if (*pattern == '*') {
      star = pattern++;
      resume = name;
    } else if (*pattern == '?' || (*pattern && LowerAscii(*pattern) == LowerAscii(*name))) {
      ++pattern;
      ++name;
    } else if (star) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}

bool StatPath(const std::string& path, struct stat& info) { return ::stat(NativePath(path).c_str(), &info) == 0; }

}  // namespace

OxFileAnsi* OxFileAnsi::Instance() {
  static OxFileAnsi instance;
  return &instance;
}

OxArchivePtr OxFileAnsi::OpenRead(const std::string& path, unsigned flags) {
  if (path == "stdin") return OxArchivePtr(new OxArchiveFileReader(*this, stdin, 1024, false));
  std::FILE* file = std::fopen(NativePath(path).c_str(), "rb");
  struct stat info;
  if (file && (::fstat(::fileno(file), &info) != 0 || S_ISDIR(info.st_mode))) {
    std::fclose(file);
    file = nullptr;
  }
  if (!file) {
    if (!(flags & OX_READ_QUIET)) LogOpenFailed(path);
    return nullptr;
  }
  fseeko(file, 0, SEEK_END);
  int64_t size = ftello(file);
  fseeko(file, 0, SEEK_SET);
  CountFileOpenedForReading();
  return OxArchivePtr(new OxArchiveFileReader(*this, file, size, true));
}

OxArchivePtr OxFileAnsi::OpenWrite(const std::string& path, unsigned flags) {
  if (path == "stdout") return OxArchivePtr(new OxArchiveFileWriter(*this, stdout, false, ""));
  std::string native = NativePath(path);
  if (flags & OX_WRITE_FORCE) SetWritable(path, OX_ATTR_WRITABLE);
  int openFlags = O_WRONLY | O_CREAT | O_CLOEXEC;
  if (flags & OX_WRITE_NEW_ONLY) openFlags |= O_EXCL;
  if (flags & OX_WRITE_APPEND) openFlags |= O_APPEND;
  int fd = ::open(native.c_str(), openFlags, 0666);
  if (fd < 0) {
    if ((flags & OX_WRITE_NEW_ONLY) && errno == EEXIST) return nullptr;
    if (!(flags & OX_WRITE_QUIET)) LogOpenFailed(path);
    return nullptr;
  }
  // Truncate only once the lock is held, so a refused second writer leaves
  // the first one's file alone.
  std::FILE* file = nullptr;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ((flags & OX_WRITE_APPEND) || ::ftruncate(fd, 0) == 0))
    file = ::fdopen(fd, (flags & OX_WRITE_APPEND) ? "ab" : "wb");
  if (!file) {
    ::close(fd);
    if (!(flags & OX_WRITE_QUIET)) LogOpenFailed(path);
    return nullptr;
  }
  if (flags & OX_WRITE_UNBUFFERED) std::setvbuf(file, nullptr, _IONBF, 0);
  return OxArchivePtr(new OxArchiveFileWriter(*this, file, true, (flags & OX_WRITE_TEMPORARY) ? native : ""));
}

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
  // Forcing makes a read-only file writable first; a link is removed as it
  // is, since changing the mode would change the file it points to.
  struct stat info;
  if (force && ::lstat(NativePath(path).c_str(), &info) == 0 && !S_ISLNK(info.st_mode)) {
    SetWritable(path, OX_ATTR_WRITABLE);
  }
  if (::unlink(NativePath(path).c_str()) == 0) return true;
  return errno == ENOENT && !mustExist;
}

bool OxFileAnsi::Replace(const std::string& destination, const std::string& source) {
  return std::rename(NativePath(source).c_str(), NativePath(destination).c_str()) == 0;
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

bool OxFileAnsi::CreateDirectory(const std::string& path, bool tree) {
  if (tree) return OxFile::CreateDirectory(path, true);
  std::string native = NativePath(path);
  if (::mkdir(native.c_str(), 0777) == 0) return true;
  struct stat info;
  return errno == EEXIST && ::stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool OxFileAnsi::RemoveDirectory(const std::string& path, bool mustExist) {
  if (::rmdir(NativePath(path).c_str()) == 0) return true;
  return errno == ENOENT && !mustExist;
}

void OxFileAnsi::FindFiles(std::vector<std::string>& list, const std::string& pattern, bool files,
                           bool directories) {
  list.clear();
  std::string native = NativePath(pattern);
  size_t slash = native.rfind('/');
  std::string directory = slash == std::string::npos ? "." : native.substr(0, slash + 1);
  std::string last = slash == std::string::npos ? native : native.substr(slash + 1);
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
    if (isDirectory ? directories : files) list.push_back(name);
  }
  ::closedir(dir);
}

bool OxFileAnsi::SetCurrentDirectory(const std::string& path) { return ::chdir(NativePath(path).c_str()) == 0; }

std::string OxFileAnsi::GetCurrentDirectory() {
  char buffer[1024];
  return ::getcwd(buffer, sizeof(buffer)) ? std::string(buffer) : std::string();
}

}  // namespace ox_base
