#pragma once
// Reads a zip archive and extracts its entries to files below the directory
// that was current when the archive was opened (the root directory).
// Single-volume archives with 32-bit sizes; entries stored or deflated.
//
// A reader is used on one thread (from Open to Close: see
// OxDirectoryListings), except WriteItem, which other threads may call for
// entries that thread has placed. Usage: Open; GetItem(-1) for the count;
// for each index GetItem then ExtractItem (or PlaceItem, then WriteItem on
// any thread); Close. A reader that is not open answers BadArguments.
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "base/files/ox_letter_case.h"
#include "zip/zip_archive_file.h"
#include "zip/zip_entry.h"
#include "zip/zip_entry_writer.h"
#include "zip/zip_headers.h"
#include "zip/zip_result.h"

// An entry whose name was checked and whose directories exist: all that
// writing it needs, without the reader's walk through the directory.
struct ZipPlacedEntry {
  ZipEntry entry;
  CentralHeader header;
  std::int64_t localHeaderPosition = 0;
  // The native path of its file; empty for a folder entry, which has
  // nothing to write.
  std::string target;
};

class ZipReader {
 public:
  // The most memory the reader's own writer keeps for decoding an entry in
  // one piece.
  static constexpr std::size_t kWholeEntryBytes = 8 << 20;

  // Opens the archive at `path` and remembers the current directory as the
  // root. CannotOpenFile, ArchiveReadError or BadArchive when it fails;
  // the reader is then not open.
  ZipResult Open(const std::string& path);

  // Describes entry `index`; index -1 gives the number of entries in
  // `entry.index`. On failure `entry` is left as it was. An entry whose
  // UTF-8 name has no form in the code page is Corrupt (and logged); so is
  // one compressed with a method other than store and deflate, or
  // encrypted, with Problem() naming the method or the encryption.
  ZipResult GetItem(std::int32_t index, ZipEntry& entry);

  // Writes entry `index` to `targetPath` (relative to the root; "\" may
  // separate directories; an existing file or folder is found whatever the
  // letter case of its name), creating the directories above it. A directory
  // entry only creates its directory. Every chunk read adds 16 384 to
  // `extractedBytes`, the final empty read included; `cancelInstall` is
  // checked before each chunk and, when set, ends the extraction with
  // Cancelled and a partial file. Names that would leave the root, or that
  // have no UTF-8 form, are refused with CannotOpenFile and nothing is
  // written; damaged data returns Corrupt.
  ZipResult ExtractItem(std::int32_t index, const std::string& targetPath,
                        std::atomic<std::int64_t>& extractedBytes,
                        const std::atomic<bool>& cancelInstall);

  // ExtractItem's first half: describes the entry, checks the name and
  // creates the directories (a folder entry's own included), with
  // ExtractItem's results; `placed` is filled on Ok.
  ZipResult PlaceItem(std::int32_t index, const std::string& targetPath, ZipPlacedEntry& placed);
  // The second half, for a file entry: writes it with `writer` (see
  // ZipEntryWriter::Write; its Problem() says why it failed). Several
  // threads may write at once, each with its own writer, while the
  // reader's thread goes on placing entries.
  ZipResult WriteItem(const ZipPlacedEntry& placed, ZipEntryWriter& writer,
                      std::atomic<std::int64_t>& extractedBytes,
                      const std::atomic<bool>& cancelInstall) const;

  // Reads entry `index` to its end without writing anything, as a check of
  // what ExtractItem would do: Ok when its name may be installed and its
  // content decodes to the recorded size and CRC-32; otherwise
  // ExtractItem's result, with Problem() saying why.
  ZipResult TestItem(std::int32_t index);

  // Why the last GetItem or ExtractItem failed, in words ("CRC mismatch",
  // "No space left on device"); empty after a success.
  const std::string& Problem() const { return problem_; }

  ZipResult Close();

 private:
  // The position in the central directory: one entry's header.
  struct Cursor {
    std::int32_t index = 0;
    std::int64_t position = 0;
    bool headerValid = false;
    CentralHeader header;
  };

  void MoveCursorToFirst();
  // Walks forward (from entry 0 when `index` lies behind); false when a
  // header on the way, or the entry's own, is missing.
  bool MoveCursorTo(std::int32_t index);
  // Describes entry `index` (never the count) and puts the cursor on its
  // header, as placing or testing the entry needs.
  ZipResult EnterItem(std::int32_t index, ZipEntry& entry);
  ZipResult ReadEntry(std::int32_t index, ZipEntry& entry);
  ZipResult Failed(ZipResult result, std::string problem);

  std::unique_ptr<ZipArchiveFile> archive_;
  // While the archive is open this thread is taken to be the only one
  // adding names to the directories its entries go to.
  std::optional<ox_base::OxDirectoryListings> listings_;
  std::filesystem::path root_;
  EndRecord end_;
  Cursor cursor_;
  // The entry GetItem last described.
  std::int32_t cachedIndex_ = -1;
  ZipEntry cachedEntry_;
  ZipEntryWriter writer_{kWholeEntryBytes};
  std::string problem_;
};
