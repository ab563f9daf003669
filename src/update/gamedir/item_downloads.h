#pragma once
// Where an item's file (an archive, a package or an untyped file) waits
// from its download to its install: a name of its own per entry and item,
// in the launcher's own name space ("farLaunch.download." + the entry's
// code + "." + the item's number). A run killed in one archive keeps its
// partial download through the next run's fetch of another, and no file
// that a release ships is ever taken for one of these.
#include <cstddef>
#include <string>

#include "update/site/game_files.h"

// The download name of item `itemNumber` (from 1) of the entry `packageCode`.
std::string ItemDownloadName(const std::string& packageCode, std::size_t itemNumber);

// True for a top-level name in that name space (letter case ignored),
// partial downloads and their sidecars included.
bool IsItemDownloadName(const std::string& name);

// Deletes the finished item downloads on the game directory's top level;
// partial ones stay for the next run to go on from (CleanUnneededPartials
// decides about them).
void DeleteFinishedItemDownloads();
