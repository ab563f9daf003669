#include "base/files/ox_output_file.h"

#include <cerrno>
#include <system_error>
#include <utility>

namespace ox_base {

OutputFile::~OutputFile() {
  if (descriptor_ >= 0) CloseDescriptor(descriptor_);
}

OutputFile::OutputFile(OutputFile&& other) noexcept : descriptor_(std::exchange(other.descriptor_, -1)) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
  if (this != &other) {
    if (descriptor_ >= 0) CloseDescriptor(descriptor_);
    descriptor_ = std::exchange(other.descriptor_, -1);
  }
  return *this;
}

bool OutputFile::Write(const void* data, std::size_t size, std::string& problem) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const long written = WriteSome(descriptor_, bytes, size);
    if (written <= 0) {
      problem = std::error_code(written < 0 ? errno : ENOSPC, std::generic_category()).message();
      return false;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool OutputFile::Close(std::string& problem) {
  if (descriptor_ < 0) return false;
  const int result = CloseDescriptor(std::exchange(descriptor_, -1));
  if (result != 0) problem = std::error_code(errno, std::generic_category()).message();
  return result == 0;
}

}  // namespace ox_base
