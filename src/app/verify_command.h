#pragma once
// farLaunch.exe --verify: the installed game checked against its release's
// manifest on the console, without a window or an update (the network only
// for the manifest of a game that keeps none); and the same check as the
// first step of --repair.
#include <cstdio>
#include <optional>
#include <set>
#include <string>

// Prints every damaged, missing and unreadable file to `out` and a summary
// line; problems that stop the check go to `errors`. The exit status: 0
// when every file matches, 1 otherwise (also when the kept manifest does
// not read). Nothing, said on `out`, when the game keeps no manifest: the
// run then fetches its release's (EndPolicy::verifyFromSite).
std::optional<int> RunVerifyCommand(std::FILE* out, std::FILE* errors);

// The same check against the manifest that run kept: true when every file
// matches.
bool VerifyAgainstFetchedManifest(std::FILE* out, std::FILE* errors);

// What --repair's first step found.
struct RepairStart {
  // The names (the manifest's) of the files that do not match; empty when
  // all do.
  std::set<std::string> names;
  // The game keeps no manifest (a full install by an older launcher, a game
  // copied from a build): every file is compared with the newest release's.
  bool withoutManifest = false;
};

// farLaunch.exe --repair's first step, the same check and lines; nothing
// when the kept manifest does not read.
std::optional<RepairStart> FindFilesToRepair(std::FILE* out, std::FILE* errors);
