#pragma once
// Writes one entry at a time to its file. A writer keeps its buffers from
// entry to entry; one writer per thread, and several threads may write
// entries of one archive at once.
//
// Entries that fit the writer's whole-entry capacity are decoded in one
// piece, larger ones inflated chunk by chunk, so memory stays bounded
// whatever their size. Either way the file is written in chunks of
// ZipEntryStream::kChunkSize, each counted and preceded by a look at the
// cancel flag.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "zip/zip_archive_file.h"
#include "zip/zip_entry.h"
#include "zip/zip_headers.h"
#include "zip/zip_result.h"
#include "zip/zip_whole_entry.h"

class ZipEntryWriter {
 public:
  // `wholeEntryBytes`: the most memory the writer keeps for decoding an
  // entry in one piece.
  explicit ZipEntryWriter(std::size_t wholeEntryBytes);

  // Writes the entry whose local header lies at `localHeaderPosition` to
  // `target` (a native path), replacing a file or link there. Every chunk
  // adds ZipEntryStream::kChunkSize to `extractedBytes`, the final empty one
  // included; `cancelInstall` set before a chunk ends the entry as
  // Cancelled, leaving a partial file. CannotOpenFile when the file cannot
  // be created, WriteError when it cannot be written or the archive read,
  // Corrupt for damaged data. The file gets the entry's time (only when
  // whole) and permissions.
  ZipResult Write(const ZipArchiveFile& archive, std::int64_t localHeaderPosition, const CentralHeader& header,
                  const ZipEntry& entry, const std::string& target, std::atomic<std::int64_t>& extractedBytes,
                  const std::atomic<bool>& cancelInstall);

  // Why the last Write failed, in words; empty after a success.
  const std::string& Problem() const { return problem_; }

 private:
  ZipResult Failed(ZipResult result, std::string problem);

  ZipWholeEntry whole_;
  std::vector<unsigned char> chunk_;
  std::string problem_;
};
