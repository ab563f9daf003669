#include "zip/zip_reader.h"

#include <memory>
#include <optional>
#include <system_error>
#include <vector>

#include "base/init/ox_base.h"
#include "base/log/ox_log.h"
#include "base/files/ox_path.h"
#include "zip/zip_entry_stream.h"
#include "zip/zip_paths.h"
#include "zip/zip_times.h"
#include "zip/zip_unicode_path.h"

namespace fs = std::filesystem;

ZipResult ZipReader::Open(const std::string& path) {
  Close();
  std::error_code error;
  fs::path root = fs::current_path(error);
  if (error) return ZipResult::CannotOpenFile;
  std::unique_ptr<ZipArchiveFile> archive = ZipArchiveFile::Open(path);
  if (!archive) return ZipResult::CannotOpenFile;
  EndRecord end;
  const ZipResult result = ReadEndRecord(*archive, end);
  if (result != ZipResult::Ok) return result;
  archive_ = std::move(archive);
  listings_.emplace();
  root_ = std::move(root);
  end_ = end;
  MoveCursorToFirst();
  return ZipResult::Ok;
}

ZipResult ZipReader::GetItem(std::int32_t index, ZipEntry& entry) {
  problem_.clear();
  if (!archive_ || index < -1 || index >= end_.entryCount) return Failed(ZipResult::BadArguments, "no such entry");
  if (index == -1) {
    entry = ZipEntry{};
    entry.index = end_.entryCount;
    return ZipResult::Ok;
  }
  if (index != cachedIndex_) {
    ZipEntry described;
    const ZipResult result = ReadEntry(index, described);
    if (result != ZipResult::Ok) return result;
    cachedIndex_ = index;
    cachedEntry_ = std::move(described);
  }
  entry = cachedEntry_;
  return ZipResult::Ok;
}

ZipResult ZipReader::ExtractItem(std::int32_t index, const std::string& targetPath,
                                 std::atomic<std::int64_t>& extractedBytes,
                                 const std::atomic<bool>& cancelInstall) {
  ZipPlacedEntry placed;
  const ZipResult result = PlaceItem(index, targetPath, placed);
  if (result != ZipResult::Ok || placed.target.empty()) return result;
  const ZipResult written = WriteItem(placed, writer_, extractedBytes, cancelInstall);
  problem_ = writer_.Problem();
  return written;
}

ZipResult ZipReader::EnterItem(std::int32_t index, ZipEntry& entry) {
  if (!archive_ || index < 0 || index >= end_.entryCount) return Failed(ZipResult::BadArguments, "no such entry");
  const ZipResult described = GetItem(index, entry);
  if (described != ZipResult::Ok) return described;
  // The cache may have answered without moving the cursor.
  if (!MoveCursorTo(index)) return Failed(ZipResult::Corrupt, "the central directory is damaged");
  return ZipResult::Ok;
}

ZipResult ZipReader::PlaceItem(std::int32_t index, const std::string& targetPath, ZipPlacedEntry& placed) {
  ZipEntry entry;
  const ZipResult entered = EnterItem(index, entry);
  if (entered != ZipResult::Ok) return entered;

  // Names are found on disk whatever their letter case, and written in
  // UTF-8; a name without a UTF-8 form is refused like one that leaves the
  // root.
  const bool folder = (entry.attributes & kAttributeDirectory) || EndsWithSeparator(entry.name);
  const std::string& name = folder ? entry.name : targetPath;
  const std::optional<std::string> relative = ox_base::ToNativePath(name);
  if (!StaysBelowRoot(name)) return Failed(ZipResult::CannotOpenFile, "the name leaves the game directory");
  if (!relative) return Failed(ZipResult::CannotOpenFile, "the name has no UTF-8 form");
  const std::size_t lastSeparator = folder ? relative->size() : relative->rfind('/');
  if (lastSeparator != std::string::npos) CreateDirectoryChain(root_, relative->substr(0, lastSeparator));

  placed.entry = std::move(entry);
  placed.header = cursor_.header;
  placed.localHeaderPosition = end_.prefixLength + cursor_.header.localHeaderOffset;
  placed.target = folder ? std::string() : (root_ / ox_base::NativeFilesystemPath(*relative)).u8string();
  return ZipResult::Ok;
}

ZipResult ZipReader::TestItem(std::int32_t index) {
  ZipEntry entry;
  const ZipResult entered = EnterItem(index, entry);
  if (entered != ZipResult::Ok) return entered;
  if (!StaysBelowRoot(entry.name)) return Failed(ZipResult::CannotOpenFile, "the name leaves the game directory");
  if (!ox_base::NativeName(entry.name)) return Failed(ZipResult::CannotOpenFile, "the name has no UTF-8 form");
  if ((entry.attributes & kAttributeDirectory) || EndsWithSeparator(entry.name)) return ZipResult::Ok;

  std::int64_t dataPosition = 0;
  std::uint16_t extraLength = 0;
  const ZipResult checked = CheckLocalHeader(*archive_, end_.prefixLength + cursor_.header.localHeaderOffset,
                                             cursor_.header, dataPosition, extraLength, problem_);
  if (checked != ZipResult::Ok) return checked;
  const std::unique_ptr<ZipEntryStream> stream = ZipEntryStream::Open(*archive_, dataPosition, cursor_.header);
  if (!stream) return Failed(ZipResult::WriteError, "the decompressor cannot start");
  std::vector<unsigned char> chunk(ZipEntryStream::kChunkSize);
  for (;;) {
    std::size_t produced = 0;
    const ZipResult read = stream->Read(chunk.data(), chunk.size(), produced);
    if (read != ZipResult::Ok) return Failed(read, stream->Problem());
    if (produced == 0) return ZipResult::Ok;
  }
}

ZipResult ZipReader::WriteItem(const ZipPlacedEntry& placed, ZipEntryWriter& writer,
                               std::atomic<std::int64_t>& extractedBytes,
                               const std::atomic<bool>& cancelInstall) const {
  return writer.Write(*archive_, placed.localHeaderPosition, placed.header, placed.entry, placed.target,
                      extractedBytes, cancelInstall);
}

ZipResult ZipReader::Close() {
  if (!archive_) return ZipResult::BadArguments;
  archive_.reset();
  listings_.reset();
  cachedIndex_ = -1;
  return ZipResult::Ok;
}

void ZipReader::MoveCursorToFirst() {
  cursor_ = Cursor{};
  cursor_.position = end_.prefixLength + end_.directoryOffset;
  cursor_.headerValid = ReadCentralHeader(*archive_, cursor_.position, cursor_.header);
}

bool ZipReader::MoveCursorTo(std::int32_t index) {
  if (index < cursor_.index) MoveCursorToFirst();
  while (cursor_.index < index) {
    if (!cursor_.headerValid) return false;
    cursor_.position += cursor_.header.TotalLength();
    ++cursor_.index;
    cursor_.headerValid = ReadCentralHeader(*archive_, cursor_.position, cursor_.header);
  }
  return cursor_.headerValid;
}

ZipResult ZipReader::Failed(ZipResult result, std::string problem) {
  problem_ = std::move(problem);
  return result;
}

ZipResult ZipReader::ReadEntry(std::int32_t index, ZipEntry& entry) {
  if (!MoveCursorTo(index)) return Failed(ZipResult::Corrupt, "the central directory is damaged");
  const CentralHeader& header = cursor_.header;
  std::vector<unsigned char> nameAndExtra(std::size_t{header.nameLength} + header.extraLength);
  if (!archive_->ReadExactlyAt(cursor_.position + static_cast<std::int64_t>(CentralHeader::kSize),
                               nameAndExtra.data(), nameAndExtra.size())) {
    return Failed(ZipResult::Corrupt, "the central directory is damaged");
  }
  const std::string stored(nameAndExtra.begin(), nameAndExtra.begin() + header.nameLength);
  // The UTF-8 form of a name stored in another code page wins over it.
  const std::optional<std::string> utf8 =
      (header.flags & kFlagUtf8Name)
          ? std::optional<std::string>(stored)
          : UnicodePath(nameAndExtra.data() + header.nameLength, header.extraLength, stored);
  std::string name = utf8.value_or(stored);
  // A stored NUL ends the name, as it would for any C string.
  name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
  if (utf8) {
    // Names are handed on in the launcher's code page, like those of
    // archives made on its original platform.
    std::optional<std::string> converted = ox_base::NameFromNative(name);
    if (!converted) {
      if (ox_base::SmartPtr<ox_base::OxLog> log = ox_base::OxBase::GetBaseLog())
        log->Error("ZipReader: entry %d refused: its UTF-8 name %s has no form in the code page\n",
                   static_cast<int>(index), name.c_str());
      return ZipResult::Corrupt;
    }
    name = std::move(*converted);
  }

  std::int64_t dataPosition = 0;
  std::uint16_t extraLength = 0;
  const ZipResult checked = CheckLocalHeader(*archive_, end_.prefixLength + header.localHeaderOffset, header,
                                             dataPosition, extraLength, problem_);
  if (checked != ZipResult::Ok) return checked;
  std::vector<unsigned char> extra(extraLength);
  if (!archive_->ReadExactlyAt(dataPosition - extraLength, extra.data(), extra.size())) {
    return Failed(ZipResult::ReadError, "the local header cannot be read");
  }

  entry.index = index;
  entry.name = std::move(name);
  entry.attributes = WindowsAttributes(header.externalAttributes);
  const std::int64_t dosTime = DosTimeToFileTime(header.dosDateTime);
  entry.accessTime = entry.creationTime = entry.modificationTime = dosTime;
  ApplyExtendedTimestamp(extra.data(), extra.size(), entry);
  entry.compressedSize = header.compressedSize;
  entry.uncompressedSize = header.uncompressedSize;
  return ZipResult::Ok;
}
