#include "base/ox_large_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ox_base {
namespace {

struct Descriptor {
  int value;
  ~Descriptor() {
    if (value >= 0) ::close(value);
  }
};

struct Mapping {
  void* address;
  std::size_t size;
  ~Mapping() {
    if (address != MAP_FAILED) ::munmap(address, size);
  }
};

}  // namespace

bool ReadLargeFile(const std::string& native, std::uint64_t largest, std::string& bytes) {
  const Descriptor file{::open(native.c_str(), O_RDONLY | O_CLOEXEC)};
  struct stat info;
  if (file.value < 0 || ::fstat(file.value, &info) != 0 || !S_ISREG(info.st_mode) ||
      static_cast<std::uint64_t>(info.st_size) > largest) {
    return false;
  }
  const auto size = static_cast<std::size_t>(info.st_size);
  if (size == 0) {
    bytes.clear();
    return true;
  }
  // Read-only and private: the page cache's pages are copied straight into
  // the string. (Another program cutting the file short during the copy
  // would end this one with SIGBUS; nothing else writes the game's files
  // while the launcher updates them.)
  const Mapping mapped{::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file.value, 0), size};
  if (mapped.address == MAP_FAILED) return false;
  bytes.assign(static_cast<const char*>(mapped.address), size);
  return true;
}

}  // namespace ox_base
