#include "zip/zip_unicode_path.h"

#include <libdeflate.h>

#include "zip/zip_extra_field.h"
#include "zip/zip_little_endian.h"

namespace {
constexpr std::uint16_t kUnicodePathId = 0x7075;  // "up"
constexpr unsigned char kVersion = 1;
// A version byte and the stored name's CRC-32 come before the name.
constexpr std::size_t kNameOffset = 5;
}  // namespace

std::optional<std::string> UnicodePath(const unsigned char* extra, std::size_t length, const std::string& storedName) {
  const std::optional<ExtraBlock> block = FindExtraBlock(extra, length, kUnicodePathId);
  if (!block || !block->whole || block->size < kNameOffset || block->data[0] != kVersion) return std::nullopt;
  if (Le32(block->data + 1) != libdeflate_crc32(0, storedName.data(), storedName.size())) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(block->data) + kNameOffset, block->size - kNameOffset);
}
