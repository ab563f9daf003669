#include "update/archive_install.h"

#include "update/game_files.h"
#include "zip/zip_reader.h"

namespace {

// The number of entries, or -1 when the archive cannot be opened.
std::int32_t OpenArchive(ZipReader& reader, const std::string& archive) {
  if (reader.Open(archive) != ZipResult::Ok) {
    return -1;
  }
  ZipEntry count;
  reader.GetItem(-1, count);
  return count.index;
}

}  // namespace

ArchiveInstallResult InstallArchive(const std::string& archive, const ArchiveInstall& how, UpdateProgress& progress) {
  ArchiveInstallResult result;
  ZipReader reader;
  const std::int32_t count = OpenArchive(reader, archive);
  if (count < 0) {
    return result;
  }
  result.outcome = ArchiveOutcome::Installed;
  // The launcher's archive names its entry 0 even when it holds none: that
  // is then an entry that cannot be read.
  const std::int32_t chosen = how.firstEntryOnly ? 1 : count;
  for (std::int32_t i = 0; i < chosen; ++i) {
    if (progress.cancelInstall) {
      result.outcome = ArchiveOutcome::Cancelled;
      break;
    }
    ZipEntry entry;
    if (reader.GetItem(i, entry) != ZipResult::Ok) {
      result.outcome = ArchiveOutcome::Incomplete;
      continue;
    }
    InstalledEntry& installed = result.entries.emplace_back();
    installed.name = entry.name;
    if (!IsInsideGameDirectory(entry.name)) {
      result.outcome = ArchiveOutcome::Incomplete;
      continue;
    }
    // The entry takes the place, and the spelling, of the file it replaces,
    // also when that file is moved aside first.
    const std::string target = SpellingOnDisk(entry.name);
    if (how.asideName) {
      const std::string aside = how.asideName();
      if (MoveFileAside(target, aside)) {
        installed.movedAsideAs = aside;
      }
    }
    installed.written =
        reader.ExtractItem(i, target, progress.extractedBytes, progress.cancelInstall) == ZipResult::Ok;
    if (!installed.written) {
      result.outcome = ArchiveOutcome::Incomplete;
    }
  }
  return result;
}

std::optional<std::int64_t> ArchiveContentBytes(const std::string& archive) {
  ZipReader reader;
  const std::int32_t count = OpenArchive(reader, archive);
  if (count < 0) {
    return std::nullopt;
  }
  std::int64_t total = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    ZipEntry entry;
    if (reader.GetItem(i, entry) == ZipResult::Ok) {
      total += entry.uncompressedSize;
    }
  }
  return total;
}
