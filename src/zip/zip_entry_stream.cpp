#include "zip/zip_entry_stream.h"

#include <libdeflate.h>

#include <algorithm>

namespace {
constexpr int kRawDeflateWindowBits = -15;  // negative: no zlib header
}  // namespace

std::unique_ptr<ZipEntryStream> ZipEntryStream::Open(const ZipArchiveFile& archive,
                                                     std::int64_t dataPosition,
                                                     const CentralHeader& header) {
  std::unique_ptr<ZipEntryStream> stream(new ZipEntryStream(archive, dataPosition, header));
  if (stream->deflated_) {
    if (inflateInit2(&stream->inflate_, kRawDeflateWindowBits) != Z_OK) return nullptr;
    stream->inflateStarted_ = true;
    stream->input_.resize(kInputSize);
  }
  return stream;
}

ZipEntryStream::ZipEntryStream(const ZipArchiveFile& archive, std::int64_t dataPosition,
                               const CentralHeader& header)
    : archive_(archive),
      readPosition_(dataPosition),
      remainingCompressed_(header.compressedSize),
      remainingUncompressed_(header.uncompressedSize),
      expectedCrc_(header.crc32),
      deflated_(header.method == kMethodDeflated) {}

ZipEntryStream::~ZipEntryStream() {
  if (inflateStarted_) inflateEnd(&inflate_);
}

ZipResult ZipEntryStream::Read(unsigned char* buffer, std::size_t capacity, std::size_t& produced) {
  produced = 0;
  const std::size_t wanted = std::min<std::size_t>(capacity, remainingUncompressed_);
  if (wanted == 0) {
    return remainingUncompressed_ == 0 && crc_ != expectedCrc_ ? Failed(ZipResult::Corrupt, "CRC mismatch")
                                                                 : ZipResult::Ok;
  }
  const ZipResult result = deflated_ ? Inflate(buffer, wanted, produced)
                                     : ReadStored(buffer, wanted, produced);
  if (result != ZipResult::Ok) return result;
  crc_ = libdeflate_crc32(crc_, buffer, produced);
  remainingUncompressed_ -= static_cast<std::uint32_t>(produced);
  return ZipResult::Ok;
}

ZipResult ZipEntryStream::ReadStored(unsigned char* buffer, std::size_t wanted, std::size_t& produced) {
  // Stored data shorter than the content it claims ends early.
  if (remainingCompressed_ < wanted) return Failed(ZipResult::Corrupt, "the stored data ends early");
  if (!archive_.ReadExactlyAt(readPosition_, buffer, wanted)) {
    return Failed(ZipResult::WriteError, "the archive cannot be read");
  }
  readPosition_ += static_cast<std::int64_t>(wanted);
  remainingCompressed_ -= static_cast<std::uint32_t>(wanted);
  produced = wanted;
  return ZipResult::Ok;
}

ZipResult ZipEntryStream::Inflate(unsigned char* buffer, std::size_t wanted, std::size_t& produced) {
  inflate_.next_out = buffer;
  inflate_.avail_out = static_cast<uInt>(wanted);
  while (inflate_.avail_out > 0) {
    if (inflate_.avail_in == 0 && remainingCompressed_ > 0) {
      const ZipResult refill = RefillInput();
      if (refill != ZipResult::Ok) return refill;
    }
    const int status = inflate(&inflate_, Z_SYNC_FLUSH);
    // The stream's end before the promised size, damaged data, or no
    // progress for want of input all mean the entry is broken.
    const bool inputUsedUp = inflate_.avail_in == 0 && remainingCompressed_ == 0;
    if ((status == Z_STREAM_END && inflate_.avail_out > 0) || (status == Z_BUF_ERROR && inputUsedUp)) {
      return Failed(ZipResult::Corrupt, "the compressed data ends early");
    }
    if (status != Z_OK && status != Z_STREAM_END) return Failed(ZipResult::Corrupt, "damaged compressed data");
  }
  produced = wanted;
  return ZipResult::Ok;
}

ZipResult ZipEntryStream::RefillInput() {
  const std::size_t size = std::min<std::size_t>(kInputSize, remainingCompressed_);
  if (!archive_.ReadExactlyAt(readPosition_, input_.data(), size)) {
    return Failed(ZipResult::WriteError, "the archive cannot be read");
  }
  readPosition_ += static_cast<std::int64_t>(size);
  remainingCompressed_ -= static_cast<std::uint32_t>(size);
  inflate_.next_in = input_.data();
  inflate_.avail_in = static_cast<uInt>(size);
  return ZipResult::Ok;
}

ZipResult ZipEntryStream::Failed(ZipResult result, const char* problem) {
  problem_ = problem;
  return result;
}
