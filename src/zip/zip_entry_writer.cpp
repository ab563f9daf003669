#include "zip/zip_entry_writer.h"

#include <libdeflate.h>

#include <algorithm>
#include <memory>

#include "base/files/ox_output_file.h"
#include "zip/zip_entry_stream.h"
#include "zip/zip_file_metadata.h"

namespace {
constexpr std::size_t kChunkSize = ZipEntryStream::kChunkSize;
}  // namespace

ZipEntryWriter::ZipEntryWriter(std::size_t wholeEntryBytes) : whole_(wholeEntryBytes), chunk_(kChunkSize) {}

ZipResult ZipEntryWriter::Write(const ZipArchiveFile& archive, std::int64_t localHeaderPosition,
                                const CentralHeader& header, const ZipEntry& entry, const std::string& target,
                                std::atomic<std::int64_t>& extractedBytes, const std::atomic<bool>& cancelInstall) {
  problem_.clear();
  std::string problem;
  ox_base::OutputFile output = ox_base::OutputFile::Create(target, problem);
  if (!output) return Failed(ZipResult::CannotOpenFile, problem);

  std::int64_t dataPosition = 0;
  std::uint16_t extraLength = 0;
  ZipResult result = CheckLocalHeader(archive, localHeaderPosition, header, dataPosition, extraLength, problem_);
  // The whole content at once when it fits and decodes cleanly; otherwise
  // chunk by chunk, which also tells what is wrong with damaged data.
  const bool whole = result == ZipResult::Ok && !cancelInstall.load() && whole_.Fits(header) &&
                     whole_.Decode(archive, dataPosition, header);
  std::unique_ptr<ZipEntryStream> stream;
  if (result == ZipResult::Ok && !whole) {
    stream = ZipEntryStream::Open(archive, dataPosition, header);
    if (!stream) result = Failed(ZipResult::WriteError, "the decompressor cannot start");
  }
  std::size_t offset = 0;
  std::uint32_t crc = 0;
  while (result == ZipResult::Ok) {
    if (cancelInstall.load()) {
      result = Failed(ZipResult::Cancelled, "cancelled");
      break;
    }
    extractedBytes.fetch_add(static_cast<std::int64_t>(kChunkSize));
    const unsigned char* chunk = chunk_.data();
    std::size_t produced = 0;
    if (whole) {
      chunk = whole_.Content() + offset;
      produced = std::min<std::size_t>(kChunkSize, header.uncompressedSize - offset);
      offset += produced;
      crc = libdeflate_crc32(crc, chunk, produced);
      if (produced == 0 && crc != header.crc32) result = Failed(ZipResult::Corrupt, "CRC mismatch");
    } else {
      result = stream->Read(chunk_.data(), kChunkSize, produced);
      if (result != ZipResult::Ok) problem_ = stream->Problem();
    }
    if (result != ZipResult::Ok || produced == 0) break;
    if (!output.Write(chunk, produced, problem)) result = Failed(ZipResult::WriteError, problem);
  }
  // A damaged file keeps the time it was written at, so it is not taken
  // for the entry's content.
  ApplyFileMetadata(output, entry, UnixPermissions(header), result == ZipResult::Ok);
  if (!output.Close(problem) && result == ZipResult::Ok) result = Failed(ZipResult::WriteError, problem);
  return result;
}

ZipResult ZipEntryWriter::Failed(ZipResult result, std::string problem) {
  problem_ = std::move(problem);
  return result;
}
