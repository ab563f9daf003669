#include "update/archive_install.h"

#include "update/game_files.h"
#include "zip/zip_reader.h"

namespace {

// The number of entries, or -1 when the archive cannot be opened.
std::int32_t OpenArchive(ZipReader& reader, const std::string& archive, ZipResult& result) {
  result = reader.Open(archive);
  if (result != ZipResult::Ok) {
    return -1;
  }
  ZipEntry count;
  reader.GetItem(-1, count);
  return count.index;
}

bool IsFolderEntry(const ZipEntry& entry) {
  return (entry.attributes & kAttributeDirectory) != 0 ||
         (!entry.name.empty() && (entry.name.back() == '/' || entry.name.back() == '\\'));
}

// Keeps the first failure of an install.
void Fail(ArchiveInstallResult& result, ArchiveOutcome outcome, const std::string& reason) {
  if (result.outcome == ArchiveOutcome::Installed) {
    result.outcome = outcome;
    result.reason = reason;
  }
}

// A failed entry in words: what went wrong, and with which entry.
std::string EntryProblem(ZipResult code, const std::string& problem, const std::string& entry) {
  const std::string what = problem.empty() ? ZipResultText(code) : problem;
  const bool writing = code == ZipResult::CannotOpenFile || code == ZipResult::WriteError;
  return what + (writing ? " writing " : " in ") + entry;
}

}  // namespace

ArchiveInstallResult InstallArchive(const std::string& archive, const ArchiveInstall& how, UpdateProgress& progress) {
  ArchiveInstallResult result;
  ZipReader reader;
  ZipResult opened = ZipResult::Ok;
  const std::int32_t count = OpenArchive(reader, archive, opened);
  if (count < 0) {
    result.reason = archive + " is not a readable zip archive (" + ZipResultText(opened) + ")";
    return result;
  }
  result.outcome = ArchiveOutcome::Installed;
  // The launcher's archive names its entry 0 even when it holds none: that
  // is then an entry that cannot be read.
  const std::int32_t chosen = how.firstEntryOnly ? 1 : count;
  for (std::int32_t i = 0; i < chosen; ++i) {
    if (progress.cancelInstall) {
      result.outcome = ArchiveOutcome::Cancelled;
      result.reason = "cancelled";
      break;
    }
    ZipEntry entry;
    const ZipResult described = reader.GetItem(i, entry);
    if (described != ZipResult::Ok) {
      Fail(result, ArchiveOutcome::Incomplete,
           EntryProblem(described, reader.Problem(), "entry " + std::to_string(i)));
      continue;
    }
    InstalledEntry& installed = result.entries.emplace_back();
    installed.name = entry.name;
    if (!IsInsideGameDirectory(entry.name)) {
      Fail(result, ArchiveOutcome::Incomplete, entry.name + " would leave the game directory");
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
    installed.writtenAs = target;
    const std::vector<std::string> missing = MissingDirectoriesOf(target);
    // A folder entry only makes folders.
    installed.extracted = !IsFolderEntry(entry);
    const ZipResult extracted = reader.ExtractItem(i, target, progress.extractedBytes, progress.cancelInstall);
    for (const std::string& directory : missing) {
      if (DirectoryExists(directory)) installed.createdDirectories.push_back(directory);
    }
    installed.written = extracted == ZipResult::Ok;
    if (extracted == ZipResult::Cancelled) {
      result.outcome = ArchiveOutcome::Cancelled;
      result.reason = "cancelled";
      break;
    }
    if (!installed.written) {
      Fail(result, ArchiveOutcome::Incomplete, EntryProblem(extracted, reader.Problem(), entry.name));
    }
  }
  return result;
}

std::optional<std::int64_t> ArchiveContentBytes(const std::string& archive) {
  ZipReader reader;
  ZipResult opened = ZipResult::Ok;
  const std::int32_t count = OpenArchive(reader, archive, opened);
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
