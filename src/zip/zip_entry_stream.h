#pragma once
// The content of one entry, produced chunk by chunk from the archive's
// stored or deflated data (zlib's inflate: memory stays small whatever the
// entry's size) and checked against its CRC-32 and size.
#include <zlib.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "zip/zip_archive_file.h"
#include "zip/zip_headers.h"
#include "zip/zip_result.h"

class ZipEntryStream {
 public:
  // What a caller reads at a time: the unit of progress and cancelling.
  static constexpr std::size_t kChunkSize = 16384;
  // Compressed data is read in larger pieces: fewer system calls.
  static constexpr std::size_t kInputSize = 65536;

  // Starts reading the entry described by `header` whose data begins at
  // `dataPosition`; null when the inflate state cannot be set up.
  static std::unique_ptr<ZipEntryStream> Open(const ZipArchiveFile& archive,
                                              std::int64_t dataPosition,
                                              const CentralHeader& header);
  ~ZipEntryStream();
  ZipEntryStream(const ZipEntryStream&) = delete;
  ZipEntryStream& operator=(const ZipEntryStream&) = delete;

  // Produces up to `capacity` bytes into `buffer`. Ok with `produced` 0
  // means the whole content was read and its CRC-32 matched. Corrupt when
  // the data is damaged, ends early or fails the CRC check; WriteError when
  // the archive cannot be read.
  ZipResult Read(unsigned char* buffer, std::size_t capacity, std::size_t& produced);

  // Why the last Read failed, in words.
  const char* Problem() const { return problem_; }

 private:
  ZipEntryStream(const ZipArchiveFile& archive, std::int64_t dataPosition, const CentralHeader& header);
  ZipResult ReadStored(unsigned char* buffer, std::size_t wanted, std::size_t& produced);
  ZipResult Inflate(unsigned char* buffer, std::size_t wanted, std::size_t& produced);
  ZipResult RefillInput();
  ZipResult Failed(ZipResult result, const char* problem);

  const ZipArchiveFile& archive_;
  std::int64_t readPosition_;
  std::uint32_t remainingCompressed_;
  std::uint32_t remainingUncompressed_;
  const std::uint32_t expectedCrc_;
  std::uint32_t crc_ = 0;
  const bool deflated_;
  bool inflateStarted_ = false;
  z_stream inflate_{};
  std::vector<unsigned char> input_;
  const char* problem_ = "";
};
