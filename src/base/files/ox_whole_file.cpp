#include "base/files/ox_whole_file.h"

#include "base/files/ox_file_handle.h"
#include "base/files/ox_native_file.h"

namespace ox_base {

bool ReadWholeFile(const std::string& native, std::string& bytes) {
  const FileHandle file(OpenNativeForReading(native));
  if (!file) return false;
  bytes.clear();
  char buffer[1 << 16];
  std::size_t read = 0;
  while ((read = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, read);
  return std::ferror(file.get()) == 0;
}

}  // namespace ox_base
