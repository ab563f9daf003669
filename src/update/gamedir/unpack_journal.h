#pragma once
// The record that makes an entry's unpack undoable after a crash. Before
// the first file of an entry is moved aside or written, the journal
// (kUnpackJournal, saved atomically and flushed) says which version the
// entry records, where every file in the way will be moved aside, which
// files will be new and which folders may be made. It goes once the entry
// is recorded (its originals deleted) or put back.
//
// A start that finds a journal looks at the recorded version: the entry's
// own means the run was killed after recording it, so only the originals
// are left to delete; any other means the entry never finished, and the
// game is put back as the journal describes.
#include <optional>
#include <string>
#include <vector>

// One place an entry writes: the file there before the unpack (if any) is
// moved aside under `aside`.
struct JournalMove {
  std::string target;  // as the disk spells it (or will)
  std::string aside;
  bool isNew = false;  // no file was there, nor planned earlier in the entry
  // The stage's name of the fetched content placed here: a roll-back moves
  // it back there for the next run, which checks it by its SHA-256 and
  // does not fetch it again. Empty: what is placed here is removed.
  std::string staged;
};

struct UnpackJournal {
  std::string packageCode;
  std::vector<JournalMove> moves;     // in the order they are made
  std::vector<std::string> folders;   // that may be made, outermost first
};

// Saves the journal atomically and flushes it with its folder; false and
// `problem` when it cannot be saved.
bool SaveJournal(const UnpackJournal& journal, std::string& problem);

// The journal in the game directory; nullopt when there is none or it is
// not one.
std::optional<UnpackJournal> LoadJournal();

void RemoveJournal();

// Undoes what the journal describes, last move first: fetched content back
// in the stage, originals back in their place, other new files removed,
// folders made removed when empty. What cannot be put back is logged.
void RollBackJournal(const UnpackJournal& journal);

// Deletes the moved-aside originals the journal lists.
void DeleteJournalledOriginals(const UnpackJournal& journal);

// On a way out, once no unpack runs or can start: puts back the entry
// whose journal is there (a recorded entry has none left), logging that
// `why` interrupted it.
void PutBackUnfinishedEntry(const std::string& why);

// At start-up: settles a journal that a killed run left, given the
// recorded version, and removes it. True when one was found.
bool SettleUnfinishedUnpack(const std::string& recordedPackageCode);
