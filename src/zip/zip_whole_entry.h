#pragma once
// An entry's content decoded in one piece (libdeflate), for entries small
// enough to be held whole: about twice as fast as inflating chunk by chunk.
// Anything out of the ordinary (damaged data, sizes that do not agree) is
// left to ZipEntryStream, which finds out exactly what is wrong.
#include <cstdint>
#include <memory>

#include "zip/zip_archive_file.h"
#include "zip/zip_headers.h"

struct libdeflate_decompressor;

class ZipWholeEntry {
 public:
  // `capacity`: the most bytes it holds, compressed and decoded data
  // together. Nothing is allocated before the first Decode.
  explicit ZipWholeEntry(std::size_t capacity);
  ~ZipWholeEntry();
  ZipWholeEntry(const ZipWholeEntry&) = delete;
  ZipWholeEntry& operator=(const ZipWholeEntry&) = delete;

  // True when the entry is worth decoding whole and fits the capacity.
  bool Fits(const CentralHeader& header) const;

  // Reads and decodes the entry (one that Fits) whose data begins at
  // `dataPosition`. True when it gave exactly the recorded number of bytes,
  // which Content() then holds until the next Decode; the CRC-32 is the
  // caller's to check.
  bool Decode(const ZipArchiveFile& archive, std::int64_t dataPosition, const CentralHeader& header);
  const unsigned char* Content() const { return content_; }

 private:
  const std::size_t capacity_;
  std::unique_ptr<unsigned char[]> buffer_;
  libdeflate_decompressor* decompressor_ = nullptr;
  const unsigned char* content_ = nullptr;
};
