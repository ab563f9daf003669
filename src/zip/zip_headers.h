#pragma once
// The archive's fixed records: the end of the central directory, the central
// header of each entry and the local header in front of its data.
#include <cstdint>
#include <optional>
#include <string>

#include "zip/zip_archive_file.h"
#include "zip/zip_result.h"

constexpr std::uint16_t kMethodStored = 0;
constexpr std::uint16_t kMethodDeflated = 8;
// General-purpose flag bit 0: the entry's data is encrypted.
constexpr std::uint16_t kFlagEncrypted = 0x0001;
// General-purpose flag bit 11: the entry's name (and comment) is UTF-8.
constexpr std::uint16_t kFlagUtf8Name = 0x0800;

struct EndRecord {
  std::int64_t position = 0;
  std::uint16_t entryCount = 0;
  std::uint32_t directorySize = 0;
  std::uint32_t directoryOffset = 0;
  // Bytes in front of the archive (a self-extractor stub, for instance);
  // every stored offset is shifted by it.
  std::int64_t prefixLength = 0;
};

// Searches the end of the file for the end record and reads it.
// ArchiveReadError when there is none or it cannot be read; BadArchive when
// it describes several volumes or a directory that does not fit before it.
ZipResult ReadEndRecord(ZipArchiveFile& archive, EndRecord& record);

struct CentralHeader {
  static constexpr std::size_t kSize = 46;
  std::uint16_t versionMadeBy = 0;
  std::uint16_t flags = 0;
  std::uint16_t method = 0;
  // The DOS date in the high half, the DOS time in the low half.
  std::uint32_t dosDateTime = 0;
  std::uint32_t crc32 = 0;
  std::uint32_t compressedSize = 0;
  std::uint32_t uncompressedSize = 0;
  std::uint16_t nameLength = 0;
  std::uint16_t extraLength = 0;
  std::uint16_t commentLength = 0;
  std::uint32_t externalAttributes = 0;
  std::uint32_t localHeaderOffset = 0;

  // Distance from this header to the next one.
  std::int64_t TotalLength() const {
    return static_cast<std::int64_t>(kSize) + nameLength + extraLength + commentLength;
  }
};

// Reads the central header at `position`; false when it cannot be read or
// does not carry the central header's signature.
bool ReadCentralHeader(const ZipArchiveFile& archive, std::int64_t position, CentralHeader& header);

// Checks that the entry can be read (stored or deflated, not encrypted) and
// that the local header at `position` agrees with the central header; on
// Ok, `dataPosition` is where the entry's data begins and `extraLength` the
// size of the local extra field in front of it. Corrupt otherwise, with
// `problem` saying why.
ZipResult CheckLocalHeader(const ZipArchiveFile& archive, std::int64_t position,
                           const CentralHeader& central, std::int64_t& dataPosition,
                           std::uint16_t& extraLength, std::string& problem);

// The Windows attribute bits of an entry's external attributes.
std::uint32_t WindowsAttributes(std::uint32_t externalAttributes);

// The Unix permission bits (rwx for owner, group, others) recorded by an
// archiver on a Unix host; none when the archive does not carry them.
std::optional<unsigned> UnixPermissions(const CentralHeader& header);
