#include "base/files/ox_file_handle.h"

#include <unistd.h>

#include <cerrno>

namespace ox_base {

FileHandle FileHandle::Open(const std::string& path, const char* mode) {
  return FileHandle(std::fopen(path.c_str(), mode));
}

std::size_t FileHandle::ReadAt(std::int64_t position, void* data, std::size_t size) const {
  if (file_ == nullptr || position < 0) return 0;
  const int descriptor = ::fileno(file_);
  char* bytes = static_cast<char*>(data);
  std::size_t total = 0;
  while (total < size) {
    const ssize_t read = ::pread(descriptor, bytes + total, size - total, static_cast<off_t>(position) + total);
    if (read < 0 && errno == EINTR) continue;
    if (read <= 0) break;
    total += static_cast<std::size_t>(read);
  }
  return total;
}

}  // namespace ox_base
