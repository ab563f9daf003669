#include "zip/zip_extra_field.h"

#include <algorithm>

#include "zip/zip_little_endian.h"

namespace {
constexpr std::size_t kBlockHeaderSize = 4;
}  // namespace

std::optional<ExtraBlock> FindExtraBlock(const unsigned char* extra, std::size_t length, std::uint16_t id) {
  std::size_t block = 0;
  while (block + kBlockHeaderSize < length) {
    const std::size_t dataSize = Le16(extra + block + 2);
    if (Le16(extra + block) == id) {
      const std::size_t available = length - block - kBlockHeaderSize;
      return ExtraBlock{extra + block + kBlockHeaderSize, std::min(dataSize, available), dataSize <= available};
    }
    block += kBlockHeaderSize + dataSize;
  }
  return std::nullopt;
}
