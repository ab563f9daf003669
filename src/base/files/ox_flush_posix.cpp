#include "base/files/ox_flush.h"

#include <fcntl.h>
#include <unistd.h>

namespace ox_base {
namespace {

bool FlushOpened(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return false;
  const bool flushed = ::fsync(fd) == 0;
  return ::close(fd) == 0 && flushed;
}

}  // namespace

bool FlushFile(const std::string& path) { return FlushOpened(path, O_RDONLY); }

bool FlushFolderOf(const std::string& path) {
  const std::string::size_type slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  return FlushOpened(folder, O_RDONLY | O_DIRECTORY);
}

}  // namespace ox_base
