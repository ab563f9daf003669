#pragma once
// The files the launcher owns in a game directory, in one table that the
// launcher's clean-up and the publisher's tools share: a client build that
// carries one of them would overwrite the launcher's state, or lose a file
// to an older launcher's clean-up.
#include <optional>
#include <string>
#include <vector>

enum class LauncherFileRole {
  // What the launcher keeps between runs: shipping one would replace it.
  State,
  // Downloads and files moved aside: the clean-up (of this launcher and of
  // older ones) deletes them.
  Temporary,
  // The publisher's key: shipped only to rotate the key.
  PublisherKey,
};

// The name as the launcher's tables compare it: without the "." parts a
// server may put before it, letter case folded.
std::string FoldedFileName(std::string name);
// The launcher's program and its window modules at the top of the game
// directory: whatever archive carries one, it is written as the launcher
// item writes a new launcher (PlaceLauncherProgram).
bool IsLauncherProgram(const std::string& name);

// The role of `name`, a file of the game directory's top level (letter case
// ignored); nothing for a file in a folder or a name the launcher does not
// own.
std::optional<LauncherFileRole> LauncherFileRoleOf(const std::string& name);

// One of the original program's temporary names ("diff.dat", "update.zip"
// ...): the game's when a release lists it (IsLauncherOwned).
bool IsOriginalTemporaryName(const std::string& name);

// A name the clean-up after an update deletes. The original program's
// temporary names may be files a release ships: the clean-up deletes one
// of them only when this run made it.
struct CleanedUpName {
  std::string name;
  bool onlyWhenMadeThisRun = false;
};

// The names the clean-up deletes, in the order it deletes them: the stored
// server document, its downloads and the original program's temporary
// names.
std::vector<CleanedUpName> CleanedUpNames();
