#pragma once
// The partial downloads ("<name>.part" with its sidecar) in the game
// directory: those the current server document still points to are kept
// for the download to go on from, and so is the full package kept whole
// with its sidecar until it is installed; any other one is deleted.
#include "update/gamedir/launcher_state.h"

// Deletes every partial download in the game directory (its top level and
// the names the document gives) that is not one the document still needs:
// a file of a newer entry, or the full package when it is to be installed,
// from the address its sidecar records. After the document was loaded.
void CleanUnneededPartials(const LauncherState& state);
