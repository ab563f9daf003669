#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/files/ox_large_file.h"

namespace ox_base {
namespace {

struct Descriptor {
  int value;
  ~Descriptor() {
    if (value >= 0) ::close(value);
  }
};

}  // namespace

bool ReadLargeFile(const std::string& native, std::uint64_t largest, FileBytes& bytes) {
  const Descriptor file{::open(native.c_str(), O_RDONLY | O_CLOEXEC)};
  struct stat info;
  if (file.value < 0 || ::fstat(file.value, &info) != 0 || !S_ISREG(info.st_mode) ||
      static_cast<std::uint64_t>(info.st_size) > largest) {
    return false;
  }
  const auto size = static_cast<std::size_t>(info.st_size);
  // Read, not mapped: a mapped file that another program cuts short would
  // end the launcher with SIGBUS.
  std::unique_ptr<char[]> data(new char[size == 0 ? 1 : size]);
  for (std::size_t done = 0; done < size;) {
    const ssize_t read = ::read(file.value, data.get() + done, size - done);
    if (read < 0 && errno == EINTR) continue;
    if (read <= 0) return false;
    done += static_cast<std::size_t>(read);
  }
  bytes.data = std::move(data);
  bytes.size = size;
  return true;
}

}  // namespace ox_base
