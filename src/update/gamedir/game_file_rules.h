#pragma once
// What an update may do to a file of the game directory, in one place for
// every path that writes or deletes game files (the manifest plan, the
// full install, verify and repair): the launcher's own files are never the
// game's, the files trust rests on are never deleted, and a player's file
// is never deleted or reverted.
#include <string>

#include "manifest/release_manifest.h"
#include "update/gamedir/installed_files.h"

// The launcher's program, its window modules, its state and its own
// temporaries (the stage, the item downloads, the files moved aside): no
// release installs or deletes them; the launcher item replaces the
// program. The original program's temporary names ("diff.dat",
// "update.zip" ...) are the game's when a release lists them: the
// clean-up removes only the one this run made.
bool IsLauncherOwned(const std::string& name);

// rh_game.ini and cfg.ini hold the player's settings (the launcher adds its
// own section to rh_game.ini): the player's whatever their content.
bool IsSettingsFile(const std::string& name);

// Why a file the installed release listed and the newest no longer does
// stays on disk; Delete when it may go.
enum class Removal {
  Delete,
  LauncherOwned,
  // The publisher's key and the signing record: a key is replaced only by a
  // verified release that ships a new one, never removed.
  TrustFile,
  // A settings file, or one whose content is no longer the listed content:
  // the player's.
  PlayersFile,
  // A link the player made: never removed, nor followed to delete.
  Link,
};
Removal RemovalOf(const std::string& local, const ManifestFile& listed, const InstalledFiles& known);

// The log's words for a file kept for `reason` (not Delete).
const char* KeptBecause(Removal reason);

// True when the file at `local` holds `record`'s content: as the record of
// installed files vouches (its size and time unchanged since the launcher
// installed or verified it), else by the same size, then the same hash.
bool HoldsListedContent(const std::string& local, const ManifestFile& record, const InstalledFiles& known);
