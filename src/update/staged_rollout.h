#pragma once
// A staged rollout: the publisher may offer the newest release to a share
// of the players first (the Rollout attribute of its entry, in percent).
// Each game directory draws its bucket (0 to 99) once and keeps it; a
// launcher whose bucket is not below the share goes on as if the newest
// entry were not listed yet, until the share widens.
#include "update/gamedir/launcher_state.h"
#include "update/site/game_files.h"

// Drops the newest entry from state.entries while this game directory is
// outside its share. A full install keeps it (the full package is the
// newest release), and so does a game that is that release already: it is
// neither cut off nor taken back when the share narrows. A share that is no
// whole number from 0 to 100 is ignored, and logged.
void HoldBackStagedRelease(LauncherState& state);
