#pragma once
// The launcher's options kept in the game directory: rh_game.ini (area name,
// the package flag) and cfg.ini (the installer tag shown to the news page).
#include <string>

#include "update/gamedir/launcher_state.h"

// Reads rh_game.ini into AraeName, ForceUpdateVersion and the download rate
// limit (DownloadRateLimit, KiB/s), adding the
// "farLaunch" section or key where a first start needs them.
void ReadGameOptions(LauncherState& state);

// Records that QZ_game.pkg has been seen: ForceUpdateVersion becomes 1 and
// rh_game.ini is saved (an absent key stays absent).
void MarkPackageSeen(LauncherState& state);

// The installer tag of a "SetUpName" value: the text between the first "_"
// and the first ".tmp" after it.
std::string InstallerTag(const std::string& setUpName);

// Reads cfg.ini into pos.
void ReadInstallerTag(LauncherState& state);
