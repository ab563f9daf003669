#pragma once
// One version entry's items (patches, the launcher's archive, untyped
// files) as one transaction: until the entry's version is recorded, every
// original they replaced waits in its moved-aside copy. An entry that fails
// or is cancelled puts the game back exactly as it was (RollBack); once its
// version is recorded the copies go (Commit). The journal (UnpackJournal)
// lists every move before it is made, so a killed run is undone at the next
// start.
//
// Callers hold an UnpackingScope around a plan, an install, a roll-back and
// a commit, so that neither the game launch nor the close button cuts into
// them.
#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "update/gamedir/unpack_journal.h"
#include "update/site/archive_install.h"

class PatchTransaction {
 public:
  // The entry that records `packageCode` once it is committed.
  explicit PatchTransaction(std::string packageCode = {});

  // Journals the places the archive's entries will take, each with the
  // name `nextAside` gives the file in its way; the install then takes
  // those names from AsideNames. False, with `problem`, when the journal
  // cannot be saved: nothing may be touched then.
  bool PlanArchive(const std::string& archive, bool firstEntryOnly, const std::function<std::string()>& nextAside,
                   std::string& problem);
  // The planned aside names, one per call, in the order planned.
  std::function<std::string()> AsideNames();

  // Journals a single file that the entry replaces, moved aside as `aside`.
  bool PlanFile(const std::string& name, const std::string& aside, std::string& problem);
  // Journals many such files in one save, each with the stage's name of
  // the content that takes its place, if fetched (JournalMove::staged).
  struct FileMove {
    std::string name;
    std::string aside;
    std::string staged;
  };
  bool PlanFiles(const std::vector<FileMove>& moves, std::string& problem);

  // Takes what an install did, whatever its outcome.
  void Record(ArchiveInstallResult install);
  // Undoes the entry: what the installs recorded, newest first, then what
  // else the journal lists; removes the journal.
  void RollBack();
  // Deletes every moved-aside original of the entry and the journal.
  void Commit();

  bool Empty() const { return journal_.moves.empty(); }

 private:
  void AddMove(const std::string& name, const std::string& aside, const std::string& staged = {});

  UnpackJournal journal_;
  // The journal's targets (letter case folded) and folders, looked up once
  // per name however many an entry writes.
  std::set<std::string> plannedTargets_;
  std::set<std::string> plannedFolders_;
  std::deque<std::string> plannedAsides_;
  std::vector<ArchiveInstallResult> installs_;
};

// Undoes one install, last entry first: removes what it wrote and the
// folders it made, and moves each original back to its place. What cannot
// be put back is logged (farLaunch.log).
void PutBack(const ArchiveInstallResult& install);
