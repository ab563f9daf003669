#include "base/files/ox_tree_removal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace ox_base {
namespace {

// Empties the directory open as `fd` (taking the descriptor over).
bool EmptyDirectory(int fd) {
  DIR* dir = ::fdopendir(fd);
  if (!dir) {
    ::close(fd);
    return false;
  }
  bool emptied = true;
  while (const struct dirent* entry = ::readdir(dir)) {
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    struct stat info;
    if (::fstatat(::dirfd(dir), name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
      emptied = false;
      break;
    }
    if (S_ISDIR(info.st_mode)) {
      const int inner = ::openat(::dirfd(dir), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (inner < 0 || !EmptyDirectory(inner) || ::unlinkat(::dirfd(dir), name, AT_REMOVEDIR) != 0) {
        emptied = false;
        break;
      }
    } else if (::unlinkat(::dirfd(dir), name, 0) != 0) {
      emptied = false;
      break;
    }
  }
  ::closedir(dir);
  return emptied;
}

}  // namespace

bool RemoveTree(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  return EmptyDirectory(fd) && ::rmdir(path.c_str()) == 0;
}

}  // namespace ox_base
