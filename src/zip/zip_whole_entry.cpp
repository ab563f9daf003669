#include "zip/zip_whole_entry.h"

#include <libdeflate.h>

ZipWholeEntry::ZipWholeEntry(std::size_t capacity) : capacity_(capacity) {}

ZipWholeEntry::~ZipWholeEntry() {
  if (decompressor_) libdeflate_free_decompressor(decompressor_);
}

bool ZipWholeEntry::Fits(const CentralHeader& header) const {
  // An empty entry has nothing to decode; a stored one needs no second copy.
  if (header.uncompressedSize == 0) return false;
  const std::uint64_t needed = header.method == kMethodStored
                                   ? header.uncompressedSize
                                   : std::uint64_t{header.compressedSize} + header.uncompressedSize;
  return (header.method == kMethodStored || header.method == kMethodDeflated) && needed <= capacity_;
}

bool ZipWholeEntry::Decode(const ZipArchiveFile& archive, std::int64_t dataPosition, const CentralHeader& header) {
  if (!buffer_) buffer_.reset(new unsigned char[capacity_]);
  content_ = nullptr;
  if (header.method == kMethodStored) {
    if (header.compressedSize < header.uncompressedSize ||
        !archive.ReadExactlyAt(dataPosition, buffer_.get(), header.uncompressedSize)) {
      return false;
    }
    content_ = buffer_.get();
    return true;
  }
  unsigned char* const compressed = buffer_.get();
  unsigned char* const decoded = compressed + header.compressedSize;
  if (!archive.ReadExactlyAt(dataPosition, compressed, header.compressedSize)) return false;
  if (!decompressor_) decompressor_ = libdeflate_alloc_decompressor();
  // Without an actual-size pointer libdeflate insists on the exact size.
  if (!decompressor_ || libdeflate_deflate_decompress(decompressor_, compressed, header.compressedSize, decoded,
                                                      header.uncompressedSize, nullptr) != LIBDEFLATE_SUCCESS) {
    return false;
  }
  content_ = decoded;
  return true;
}
