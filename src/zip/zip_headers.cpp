#include "zip/zip_headers.h"

#include <algorithm>
#include <cstring>

#include "zip/zip_entry.h"
#include "zip/zip_little_endian.h"

namespace {

constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kLocalHeaderSize = 30;
// The end record lies within the last 65 535 bytes. They are searched
// backwards in windows of 1 028 bytes placed 1 024 bytes apart, so that a
// signature across a window's edge is still seen.
constexpr std::int64_t kSearchLimit = 65535;
constexpr std::int64_t kSearchStep = 1024;
constexpr std::size_t kSignatureSize = 4;
constexpr unsigned kHostUnix = 3;
constexpr std::uint16_t kFlagDataDescriptor = 0x08;
constexpr const char* kHeadersDisagree = "the local header does not match the directory";
// What the tools that make patches must do instead.
constexpr const char* kReadableMethods = "patches must be stored or deflated";

// The names of the methods other archivers use most.
std::string MethodName(std::uint16_t method) {
  switch (method) {
    case 9: return "deflate64";
    case 12: return "bzip2";
    case 14: return "lzma";
    case 93: return "zstd";
    case 95: return "xz";
    case 99: return "AES";
    default: return "";
  }
}

// Why the entry's data cannot be read; empty when it can.
std::string UnreadableData(const CentralHeader& central) {
  if (central.method != kMethodStored && central.method != kMethodDeflated) {
    const std::string name = MethodName(central.method);
    return "compression method " + std::to_string(central.method) + (name.empty() ? "" : " (" + name + ")") +
           " is not supported (" + kReadableMethods + ")";
  }
  if (central.flags & kFlagEncrypted) {
    return std::string("the entry is encrypted (") + kReadableMethods + ", without encryption)";
  }
  return "";
}

// The file position of the last "PK\5\6" in the search area, or -1.
std::int64_t FindEndSignature(ZipArchiveFile& archive) {
  const std::int64_t fileSize = archive.Size();
  if (fileSize < 0) return -1;
  const std::int64_t searchSize = std::min(fileSize, kSearchLimit);
  const unsigned char signature[kSignatureSize] = {'P', 'K', 5, 6};
  unsigned char window[kSearchStep + kSignatureSize];
  for (std::int64_t k = 1;; ++k) {
    const std::int64_t back =
        std::min(static_cast<std::int64_t>(kSignatureSize) + kSearchStep * k, searchSize);
    const std::int64_t windowStart = fileSize - back;
    const std::size_t windowSize =
        static_cast<std::size_t>(std::min<std::int64_t>(sizeof window, back));
    if (!archive.ReadExactlyAt(windowStart, window, windowSize)) return -1;
    for (std::size_t i = windowSize; i >= kSignatureSize; --i) {
      if (std::memcmp(window + i - kSignatureSize, signature, kSignatureSize) == 0) {
        return windowStart + static_cast<std::int64_t>(i - kSignatureSize);
      }
    }
    if (back == searchSize) break;
  }
  return -1;
}

}  // namespace

ZipResult ReadEndRecord(ZipArchiveFile& archive, EndRecord& record) {
  const std::int64_t position = FindEndSignature(archive);
  if (position <= 0) return ZipResult::ArchiveReadError;
  unsigned char bytes[kEndRecordSize];
  if (!archive.ReadExactlyAt(position, bytes, sizeof bytes)) return ZipResult::ArchiveReadError;
  const std::uint16_t thisDisk = Le16(bytes + 4);
  const std::uint16_t directoryDisk = Le16(bytes + 6);
  const std::uint16_t entriesOnDisk = Le16(bytes + 8);
  const std::uint16_t totalEntries = Le16(bytes + 10);
  record.position = position;
  record.entryCount = totalEntries;
  record.directorySize = Le32(bytes + 12);
  record.directoryOffset = Le32(bytes + 16);
  if (thisDisk != 0 || directoryDisk != 0 || entriesOnDisk != totalEntries) {
    return ZipResult::BadArchive;
  }
  const std::int64_t directoryEnd =
      static_cast<std::int64_t>(record.directoryOffset) + record.directorySize;
  if (position < directoryEnd) return ZipResult::BadArchive;
  record.prefixLength = position - directoryEnd;
  return ZipResult::Ok;
}

bool ReadCentralHeader(const ZipArchiveFile& archive, std::int64_t position, CentralHeader& header) {
  unsigned char bytes[CentralHeader::kSize];
  if (!archive.ReadExactlyAt(position, bytes, sizeof bytes)) return false;
  if (Le32(bytes) != kCentralSignature) return false;
  header.versionMadeBy = Le16(bytes + 4);
  header.flags = Le16(bytes + 8);
  header.method = Le16(bytes + 10);
  header.dosDateTime = Le32(bytes + 12);
  header.crc32 = Le32(bytes + 16);
  header.compressedSize = Le32(bytes + 20);
  header.uncompressedSize = Le32(bytes + 24);
  header.nameLength = Le16(bytes + 28);
  header.extraLength = Le16(bytes + 30);
  header.commentLength = Le16(bytes + 32);
  header.externalAttributes = Le32(bytes + 38);
  header.localHeaderOffset = Le32(bytes + 42);
  return true;
}

ZipResult CheckLocalHeader(const ZipArchiveFile& archive, std::int64_t position,
                           const CentralHeader& central, std::int64_t& dataPosition,
                           std::uint16_t& extraLength, std::string& problem) {
  problem = UnreadableData(central);
  if (!problem.empty()) return ZipResult::Corrupt;
  problem = kHeadersDisagree;
  unsigned char bytes[kLocalHeaderSize];
  if (!archive.ReadExactlyAt(position, bytes, sizeof bytes)) return ZipResult::Corrupt;
  if (Le32(bytes) != kLocalSignature) return ZipResult::Corrupt;
  if (Le16(bytes + 8) != central.method) return ZipResult::Corrupt;
  // With a data descriptor the local fields may be left empty.
  if ((central.flags & kFlagDataDescriptor) == 0 &&
      (Le32(bytes + 14) != central.crc32 || Le32(bytes + 18) != central.compressedSize ||
       Le32(bytes + 22) != central.uncompressedSize)) {
    return ZipResult::Corrupt;
  }
  if (Le16(bytes + 26) != central.nameLength) return ZipResult::Corrupt;
  problem.clear();
  extraLength = Le16(bytes + 28);
  dataPosition = position + static_cast<std::int64_t>(kLocalHeaderSize) + central.nameLength + extraLength;
  return ZipResult::Ok;
}

std::uint32_t WindowsAttributes(std::uint32_t externalAttributes) {
  std::uint32_t attributes = kAttributeNormal;
  if (externalAttributes & 0x40000000u || externalAttributes & 0x10u) attributes |= kAttributeDirectory;
  if (externalAttributes & 0x20u) attributes |= kAttributeArchive;
  if (externalAttributes & 0x02u) attributes |= kAttributeHidden;
  if (externalAttributes & 0x01u) attributes |= kAttributeReadOnly;
  if (externalAttributes & 0x04u) attributes |= kAttributeSystem;
  return attributes;
}

std::optional<unsigned> UnixPermissions(const CentralHeader& header) {
  if (header.versionMadeBy >> 8 != kHostUnix) return std::nullopt;
  const unsigned permissions = (header.externalAttributes >> 16) & 0777u;
  // Archivers that record no mode leave the high half empty.
  if (permissions == 0) return std::nullopt;
  return permissions;
}
