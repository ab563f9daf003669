#pragma once
// The one place where the entries of an archive are written into the game
// directory (the current directory): a patch, the full client package and
// the launcher's own archive all go through InstallArchive, so the rules
// for names, files in the way, progress and cancelling hold alike for all.
//
// - An entry whose name leaves the game directory (absolute, a drive
//   letter, a ".." part) is refused: nothing is moved or written for it.
// - Entries are written on several threads at once (ZipWriterPool), and
//   the outcome is that of writing them one after another: an entry naming
//   the same file as an earlier one (in any letter case), or a folder above
//   or below it, waits until that one is written (EntryConflicts).
// - A file in an entry's way is moved aside (when asked for) before the
//   entry's own file is written; a later entry of the same name wins, the
//   file it replaces moved aside in turn.
// - Progress: every chunk a writer produces adds to
//   `progress.extractedBytes` (see ZipEntryWriter::Write).
// - Cancelling: `progress.cancelInstall` is looked at before each entry and
//   by every writer before each chunk; either ends the install as
//   Cancelled.
// - The records say what the install did to the game directory, entry by
//   entry, so that it can be undone (PatchTransaction).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "update/site/installed_entry.h"
#include "update/site/update_progress.h"

// Which entries are installed, and what happens to a file in their way.
struct ArchiveInstall {
  // Only the archive's first entry (the launcher's archive carries the new
  // launcher there), else every entry in archive order.
  bool firstEntryOnly = false;
  // Called once for each entry that is installed: the name an existing file
  // at the entry's place is moved aside under before the entry is written.
  // Unset: such a file is replaced.
  std::function<std::string()> asideName;
  // How many threads write entries at once; 0: one per processor core (see
  // ZipWriterPool::ThreadsFor).
  std::size_t writers = 0;
  // Whether entries may land on the trust files (IsTrustFile): only when
  // the run is verified. Else such an entry is skipped and logged.
  bool trustFilesAllowed = false;
};

enum class ArchiveOutcome {
  Installed,   // every chosen entry was written
  Unreadable,  // the archive could not be opened; nothing was touched
  Incomplete,  // some entry could not be read, was refused or not written;
               // the entries after it were still installed
  Cancelled,   // a cancel request ended the install
};

struct ArchiveInstallResult {
  ArchiveOutcome outcome = ArchiveOutcome::Unreadable;
  // The chosen entries that could be read, in archive order, up to a cancel
  // (entries after a cancelled one may have been written meanwhile).
  std::vector<InstalledEntry> entries;
  // The first failure in words ("CRC mismatch in data/map.dat"); empty when
  // the archive was installed.
  std::string reason;
  // Every entry's failure in words, in archive order.
  std::vector<std::string> problems{};
};

ArchiveInstallResult InstallArchive(const std::string& archive, const ArchiveInstall& how, UpdateProgress& progress);

// The stored names of the entries an install with `firstEntryOnly` writes
// (and asks an aside name for), in archive order; empty when the archive
// cannot be opened.
std::vector<std::string> EntriesToWrite(const std::string& archive, bool firstEntryOnly);

// The bytes the archive's entries hold once unpacked (entries that cannot
// be read count nothing); nullopt when the archive cannot be opened.
std::optional<std::int64_t> ArchiveContentBytes(const std::string& archive);
