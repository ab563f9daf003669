#include "update/gamedir/patch_transaction.h"

#include <set>
#include <utility>

#include "base/files/ox_letter_case.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"

PatchTransaction::PatchTransaction(std::string packageCode) { journal_.packageCode = std::move(packageCode); }

void PatchTransaction::AddMove(const std::string& name, const std::string& aside, const std::string& staged) {
  const std::string target = SpellingOnDisk(name);
  const bool plannedBefore = !plannedTargets_.insert(ox_base::FoldLetterCase(target)).second;
  journal_.moves.push_back({target, aside, !plannedBefore && !FileExists(target), staged});
  for (const std::string& folder : MissingDirectoriesOf(target)) {
    if (plannedFolders_.insert(folder).second) journal_.folders.push_back(folder);
  }
}

bool PatchTransaction::PlanArchive(const std::string& archive, bool firstEntryOnly,
                                   const std::function<std::string()>& nextAside, std::string& problem) {
  plannedAsides_.clear();
  const std::vector<std::string> names = EntriesToWrite(archive, firstEntryOnly);
  std::set<std::string> written;
  for (const std::string& name : names) written.insert(ox_base::FoldLetterCase(name));
  for (const std::string& name : names) {
    // A file the archive itself installs is never taken for an original.
    std::string aside;
    do {
      aside = nextAside();
    } while (written.count(ox_base::FoldLetterCase(aside)) > 0);
    plannedAsides_.push_back(aside);
    AddMove(name, aside);
  }
  return SaveJournal(journal_, problem);
}

std::function<std::string()> PatchTransaction::AsideNames() {
  return [this] {
    if (plannedAsides_.empty()) return std::string();
    std::string aside = std::move(plannedAsides_.front());
    plannedAsides_.pop_front();
    return aside;
  };
}

bool PatchTransaction::PlanFile(const std::string& name, const std::string& aside, std::string& problem) {
  return PlanFiles({{name, aside}}, problem);
}

bool PatchTransaction::PlanFiles(const std::vector<FileMove>& moves, std::string& problem) {
  for (const FileMove& move : moves) AddMove(move.name, move.aside, move.staged);
  return SaveJournal(journal_, problem);
}

void PatchTransaction::Record(ArchiveInstallResult install) { installs_.push_back(std::move(install)); }

void PatchTransaction::RollBack() {
  for (auto install = installs_.rbegin(); install != installs_.rend(); ++install) {
    PutBack(*install);
  }
  installs_.clear();
  if (!journal_.moves.empty()) {
    RollBackJournal(journal_);
    RemoveJournal();
  }
  journal_.moves.clear();
  journal_.folders.clear();
  plannedTargets_.clear();
  plannedFolders_.clear();
}

void PatchTransaction::Commit() {
  if (!journal_.moves.empty()) {
    DeleteJournalledOriginals(journal_);
    RemoveJournal();
  }
  installs_.clear();
  journal_.moves.clear();
  journal_.folders.clear();
  plannedTargets_.clear();
  plannedFolders_.clear();
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
