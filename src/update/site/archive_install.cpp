#include "update/site/archive_install.h"

#include <algorithm>
#include <deque>

#include "update/site/entry_conflicts.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"
#include "update/site/launcher_files.h"
#include "update/site/launcher_program_entry.h"
#include "update/site/trust_files.h"
#include "zip/zip_reader.h"
#include "zip/zip_writer_pool.h"

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

// A failed entry in words: what went wrong, and with which entry.
std::string EntryProblem(ZipResult code, const std::string& problem, const std::string& entry) {
  const std::string what = problem.empty() ? ZipResultText(code) : problem;
  const bool writing = code == ZipResult::CannotOpenFile || code == ZipResult::WriteError;
  return what + (writing ? " writing " : " in ") + entry;
}

// One chosen entry on its way: its record, and how writing it went. Kept at
// a fixed place while a writer fills `written`.
struct EntryInstall {
  std::int32_t index = 0;
  InstalledEntry record;
  // Why it was not handed to a writer, in words; empty when it was, or
  // when it needed none (a folder).
  std::string refusal;
  ZipWritten written;
};

// An entry that could not even be described.
struct EntryFailure {
  std::int32_t index;
  std::string reason;
};

// Settles the outcome once every writer is done: the records in archive
// order, and the failures in archive order, the first giving the reason.
void Conclude(std::deque<EntryInstall>& installs, std::vector<EntryFailure> failures, bool cancelled,
              ArchiveInstallResult& result) {
  for (EntryInstall& install : installs) {
    const ZipWritten& written = install.written;
    std::string failure = std::move(install.refusal);
    if (failure.empty() && written.result != ZipResult::Ok && written.result != ZipResult::Cancelled) {
      failure = EntryProblem(written.result, written.problem, install.record.name);
    }
    install.record.written = !install.record.skipped && failure.empty() && written.result == ZipResult::Ok;
    cancelled = cancelled || written.result == ZipResult::Cancelled;
    if (!failure.empty()) failures.push_back({install.index, std::move(failure)});
    result.entries.push_back(std::move(install.record));
  }
  std::stable_sort(failures.begin(), failures.end(),
                   [](const EntryFailure& a, const EntryFailure& b) { return a.index < b.index; });
  for (EntryFailure& failure : failures) result.problems.push_back(std::move(failure.reason));
  if (cancelled) {
    result.outcome = ArchiveOutcome::Cancelled;
    result.reason = "cancelled";
  } else if (!result.problems.empty()) {
    result.outcome = ArchiveOutcome::Incomplete;
    result.reason = result.problems.front();
  } else {
    result.outcome = ArchiveOutcome::Installed;
  }
}

}  // namespace

ArchiveInstallResult InstallArchive(const std::string& archive, const ArchiveInstall& how, UpdateProgress& progress) {
  ArchiveInstallResult result;
  ZipReader reader;
  ZipResult opened = ZipResult::Ok;
  const std::int32_t count = OpenArchive(reader, archive, opened);
  if (count < 0) {
    result.reason = archive + " is not a readable zip archive (" + ZipResultText(opened) + ")";
    result.problems.push_back(result.reason);
    return result;
  }
  // The launcher's archive names its entry 0 even when it holds none: that
  // is then an entry that cannot be read.
  const std::int32_t chosen = how.firstEntryOnly ? 1 : count;
  std::deque<EntryInstall> installs;
  std::vector<EntryFailure> unreadable;
  bool cancelled = false;
  {
    // This thread reads the archive, decides names and makes folders, in
    // archive order; the writers only fill the files it placed.
    ZipWriterPool writers(reader, how.writers ? how.writers : ZipWriterPool::ThreadsFor(chosen),
                          progress.extractedBytes, progress.cancelInstall);
    EntryConflicts conflicts;
    for (std::int32_t i = 0; i < chosen; ++i) {
      if (progress.cancelInstall) {
        cancelled = true;
        break;
      }
      ZipEntry entry;
      const ZipResult described = reader.GetItem(i, entry);
      if (described != ZipResult::Ok) {
        unreadable.push_back({i, EntryProblem(described, reader.Problem(), "entry " + std::to_string(i))});
        continue;
      }
      EntryInstall& install = installs.emplace_back();
      install.index = i;
      InstalledEntry& installed = install.record;
      installed.name = entry.name;
      if (!IsInsideGameDirectory(entry.name)) {
        install.refusal = entry.name + " would leave the game directory";
        continue;
      }
      if (!how.trustFilesAllowed && IsTrustFile(entry.name)) {
        LogFailure(entry.name, archive, kUnverifiedTrustFile);
        installed.skipped = true;
        continue;
      }
      const std::string aside = how.asideName ? how.asideName() : std::string();
      writers.WaitFor(conflicts.Add(i, {entry.name, aside}));
      // The entry takes the place, and the spelling, of the file it
      // replaces, also when that file is moved aside first.
      const std::string target = SpellingOnDisk(entry.name);
      if (IsLauncherProgram(entry.name)) {
        // A running program is moved aside, never written over.
        const ProgramPlacement placement =
            PlaceLauncherProgram(reader, i, archive, entry.name, target, aside.empty() ? kLauncherAsideName : aside,
                                 progress, installed, install.refusal);
        installed.skipped = placement == ProgramPlacement::Skipped;
        if (placement == ProgramPlacement::Cancelled) {
          cancelled = true;
          break;
        }
        continue;
      }
      if (!aside.empty() && MoveFileAside(target, aside)) {
        installed.movedAsideAs = aside;
      }
      installed.writtenAs = target;
      const std::vector<std::string> missing = MissingDirectoriesOf(target);
      // A folder entry only makes folders.
      installed.extracted = !IsFolderEntry(entry);
      ZipPlacedEntry placed;
      const ZipResult placing = reader.PlaceItem(i, target, placed);
      for (const std::string& directory : missing) {
        if (DirectoryExists(directory)) installed.createdDirectories.push_back(directory);
      }
      if (placing != ZipResult::Ok) {
        install.refusal = EntryProblem(placing, reader.Problem(), entry.name);
      } else if (!placed.target.empty()) {
        writers.Write(placed, install.written);
      }
    }
    writers.Finish();
  }
  Conclude(installs, std::move(unreadable), cancelled, result);
  return result;
}

std::vector<std::string> EntriesToWrite(const std::string& archive, bool firstEntryOnly) {
  ZipReader reader;
  ZipResult opened = ZipResult::Ok;
  const std::int32_t count = OpenArchive(reader, archive, opened);
  std::vector<std::string> names;
  for (std::int32_t i = 0; i < (firstEntryOnly ? std::min(count, 1) : count); ++i) {
    ZipEntry entry;
    if (reader.GetItem(i, entry) == ZipResult::Ok && IsInsideGameDirectory(entry.name)) names.push_back(entry.name);
  }
  return names;
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
