#include "update/patch_transaction.h"

#include <utility>

#include "update/failure_log.h"
#include "update/game_files.h"

void PatchTransaction::Record(ArchiveInstallResult install) { installs_.push_back(std::move(install)); }

void PatchTransaction::RollBack() {
  for (auto install = installs_.rbegin(); install != installs_.rend(); ++install) {
    PutBack(*install);
  }
  installs_.clear();
}

void PatchTransaction::Commit() {
  for (const ArchiveInstallResult& install : installs_) {
    for (const InstalledEntry& entry : install.entries) {
      std::string problem;
      if (!entry.movedAsideAs.empty() && !RemoveFileAt(entry.movedAsideAs, problem)) {
        LogFailure(entry.movedAsideAs, "", "the replaced original of " + entry.name + " stays: " + problem);
      }
    }
  }
  installs_.clear();
}

void PutBack(const ArchiveInstallResult& install) {
  for (auto entry = install.entries.rbegin(); entry != install.entries.rend(); ++entry) {
    std::string problem;
    if (entry->extracted && !RemoveFileAt(entry->writtenAs, problem)) {
      LogFailure(entry->writtenAs, "", "what the update wrote cannot be removed: " + problem);
      continue;
    }
    if (!entry->movedAsideAs.empty() && !MoveFileAside(entry->movedAsideAs, entry->writtenAs)) {
      LogFailure(entry->writtenAs, "", "the original stays in " + entry->movedAsideAs + ": it cannot be moved back");
    }
    for (auto directory = entry->createdDirectories.rbegin(); directory != entry->createdDirectories.rend();
         ++directory) {
      RemoveEmptyDirectory(*directory);
    }
  }
}
