#pragma once
// What GetItem reports about one archive entry.
#include <cstdint>
#include <string>

// Windows file-attribute bits as the archive's entries carry them.
constexpr std::uint32_t kAttributeReadOnly = 0x01;
constexpr std::uint32_t kAttributeHidden = 0x02;
constexpr std::uint32_t kAttributeSystem = 0x04;
constexpr std::uint32_t kAttributeDirectory = 0x10;
constexpr std::uint32_t kAttributeArchive = 0x20;
constexpr std::uint32_t kAttributeNormal = 0x80;

struct ZipEntry {
  // The entry's number from 0; for the count query (index -1), the number
  // of entries.
  std::int32_t index = 0;
  // As stored in the archive, "/" or "\" separators included, in the
  // launcher's code page (a name the archive marks as UTF-8 is converted,
  // and so is the UTF-8 form of an Info-ZIP Unicode path field).
  std::string name;
  std::uint32_t attributes = 0;
  // 100-ns intervals since 1601-01-01 UTC.
  std::int64_t accessTime = 0;
  std::int64_t creationTime = 0;
  std::int64_t modificationTime = 0;
  // 64-bit: a size between 2 and 4 GiB must not turn negative.
  std::int64_t compressedSize = 0;
  std::int64_t uncompressedSize = 0;
};
