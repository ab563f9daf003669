#pragma once
// The news page talks to the launcher through its visible text: a
// "ServerBackUrl" request sends the panel elsewhere while the update runs, a
// "RunClient" request carries the login record that starts the game.
#include <string>
#include <vector>

#include "platform/seam.h"
#include "update/gamedir/launcher_state.h"

// Interprets one page text (code-page bytes). UI thread.
void HandlePageRequest(LauncherState& state, platform::Platform& platform, const std::string& pageText);

// The command line of the game client for a launch record of at least
// thirteen fields.
std::string ClientParameters(const LauncherState& state, const std::vector<std::string>& record);

// Starts the client (kClientProgram) with the record's command line and
// ends the launcher: the entry being downloaded is given up (put back),
// what was recorded stays. A launch that comes while an archive is
// unpacked is parked (the status says so) for StartParkedLaunch. A client
// that cannot be started is a failure (shown, logged, the failure exit
// code).
void LaunchClient(LauncherState& state, platform::Platform& platform, const std::vector<std::string>& record);

// Timer: starts a parked launch once the entry that was being unpacked is
// recorded (or the worker is gone).
void StartParkedLaunch(LauncherState& state, platform::Platform& platform);
