#include "update/gamedir/unpack_journal.h"

#include <filesystem>
#include <optional>
#include <sstream>
#include <system_error>

#include "base/files/ox_atomic_save.h"
#include "base/files/ox_flush.h"
#include "base/files/ox_path.h"
#include "base/text/ox_percent_escape.h"
#include "update/gamedir/temporary_files.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"
#include "update/site/update_documents.h"

namespace {

constexpr char kHeading[] = "farLaunch journal 1";

// Fields are separated by blanks.
std::string Escaped(const std::string& text) { return PercentEscaped(text, " "); }

std::string Text(const UnpackJournal& journal) {
  std::string text = std::string(kHeading) + "\ncode " + Escaped(journal.packageCode) + "\n";
  for (const JournalMove& move : journal.moves) {
    text += "move " + Escaped(move.target) + " " + Escaped(move.aside) + (move.isNew ? " new" : " old");
    text += move.staged.empty() ? "\n" : " " + Escaped(move.staged) + "\n";
  }
  for (const std::string& folder : journal.folders) text += "folder " + Escaped(folder) + "\n";
  return text;
}

std::optional<UnpackJournal> Parse(const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  if (!std::getline(lines, line) || line != kHeading) return std::nullopt;
  UnpackJournal journal;
  bool coded = false;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string kind, first, second, age, third;
    words >> kind >> first;
    const std::optional<std::string> name = PercentUnescaped(first);
    if (!name) return std::nullopt;
    if (kind == "code") {
      journal.packageCode = *name;
      coded = true;
    } else if (kind == "folder") {
      journal.folders.push_back(*name);
    } else if (kind == "move" && words >> second >> age) {
      const std::optional<std::string> aside = PercentUnescaped(second);
      // A journal of an earlier launcher names no staged content.
      const std::optional<std::string> staged = words >> third ? PercentUnescaped(third) : std::string();
      if (!aside || !staged || name->empty() || aside->empty()) return std::nullopt;
      journal.moves.push_back({*name, *aside, age == "new", *staged});
    } else {
      return std::nullopt;
    }
  }
  if (!coded) return std::nullopt;
  return journal;
}

}  // namespace

bool SaveJournal(const UnpackJournal& journal, std::string& problem) {
  const std::string path = ox_base::NativePath(kUnpackJournal);
  if (!ox_base::SaveAtomically(path, Text(journal), true, problem)) {
    problem = std::string(kUnpackJournal) + " cannot be saved: " + problem;
    return false;
  }
  if (!ox_base::FlushFolderOf(path)) {
    problem = std::string(kUnpackJournal) + " cannot be flushed to the disk";
    return false;
  }
  return true;
}

std::optional<UnpackJournal> LoadJournal() {
  std::string bytes;
  if (!ReadGameFile(kUnpackJournal, bytes)) return std::nullopt;
  return Parse(bytes);
}

void RemoveJournal() {
  std::string problem;
  if (!RemoveFileAt(kUnpackJournal, problem)) {
    LogFailure(kUnpackJournal, "", "cannot be removed: " + problem);
  }
  ox_base::FlushFolderOf(ox_base::NativePath(kUnpackJournal));
}

namespace {

// Moves fetched content that was placed at `target` back to its stage name,
// unless the stage holds it already (a content several files take).
// The stage's names are the launcher's own: no folder is read to spell them.
void ReturnToStage(const std::string& target, const std::string& staged) {
  const std::filesystem::path placedPath = PathOnDisk(target);
  const std::filesystem::path stagedPath = ox_base::NativeFilesystemPath(staged);
  std::error_code error;
  if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(placedPath, error)) ||
      std::filesystem::exists(stagedPath, error)) {
    return;
  }
  std::filesystem::create_directories(stagedPath.parent_path(), error);
  std::filesystem::rename(placedPath, stagedPath, error);
  if (error) LogFailure(target, "", "what the update fetched cannot be kept for the next run: " + error.message());
}

}  // namespace

void RollBackJournal(const UnpackJournal& journal) {
  for (auto move = journal.moves.rbegin(); move != journal.moves.rend(); ++move) {
    // An earlier entry of the same name (in another letter case) may have
    // given the file its spelling.
    const std::string target = SpellingOnDisk(move->target);
    std::string problem;
    const bool placed = FileExists(move->aside) || move->isNew;
    if (placed && !move->staged.empty()) ReturnToStage(target, move->staged);
    if (FileExists(move->aside)) {
      // A file the entry turned into a folder, or a folder into a file, gets
      // its place back: the folder emptied, the file's folders made again.
      if (DirectoryExists(ox_base::NativePath(target))) RemoveEmptyDirectory(ox_base::NativePath(target));
      std::error_code ignored;
      std::filesystem::create_directories(PathOnDisk(target).parent_path(), ignored);
      if (!MoveFileAside(move->aside, target)) {
        LogFailure(target, "", "the original stays in " + move->aside + ": it cannot be moved back");
      }
    } else if (move->isNew && !RemoveFileAt(target, problem)) {
      LogFailure(target, "", "what the update wrote cannot be removed: " + problem);
    }
  }
  for (auto folder = journal.folders.rbegin(); folder != journal.folders.rend(); ++folder) {
    RemoveEmptyDirectory(*folder);
  }
  ox_base::FlushFolderOf(ox_base::NativePath(kUnpackJournal));
}

void DeleteJournalledOriginals(const UnpackJournal& journal) {
  for (const JournalMove& move : journal.moves) {
    std::string problem;
    // Windows keeps the running launcher's file while it runs: the next
    // start removes it, so that is no failure.
    if (RemoveFileAt(move.aside, problem) || move.aside == kLauncherAsideName) continue;
    if (const std::optional<std::string> leftover = SetAsideForLaterRemoval(move.aside)) {
      LogFailure(move.aside, "",
                 "the replaced original of " + move.target + " cannot be removed yet (" + problem + "): it waits as " +
                     *leftover + " for a later start to remove it");
    } else {
      LogFailure(move.aside, "", "the replaced original of " + move.target + " stays: " + problem);
    }
  }
}

void PutBackUnfinishedEntry(const std::string& why) {
  if (!FileExists(kUnpackJournal)) return;
  if (const std::optional<UnpackJournal> journal = LoadJournal()) {
    LogFailure("the update to " + journal->packageCode, "", why + "; its files were put back");
    RollBackJournal(*journal);
  }
  RemoveJournal();
}

bool SettleUnfinishedUnpack(const std::string& recordedPackageCode) {
  // A kill while the journal, the record or the server document was saved
  // leaves their temporary copies.
  for (const char* saved : {kUnpackJournal, kVersionDocumentName, kServerDocument}) {
    ox_base::RemoveAbandonedSaves(ox_base::NativePath(saved));
  }
  if (!FileExists(kUnpackJournal)) return false;
  const std::optional<UnpackJournal> journal = LoadJournal();
  if (!journal) {
    LogFailure(kUnpackJournal, "", "left by an earlier run, unreadable: removed");
  } else if (journal->packageCode == recordedPackageCode) {
    DeleteJournalledOriginals(*journal);
  } else {
    LogFailure(kUnpackJournal, "",
               "the update to " + journal->packageCode + " was interrupted: its files were put back");
    RollBackJournal(*journal);
  }
  RemoveJournal();
  return true;
}
