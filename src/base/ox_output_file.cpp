#include "base/ox_output_file.h"

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

bool OutputFile::Close(std::string& problem) {
  if (descriptor_ < 0) return false;
  const int result = CloseDescriptor(std::exchange(descriptor_, -1));
  if (result != 0) problem = std::error_code(errno, std::generic_category()).message();
  return result == 0;
}

}  // namespace ox_base
