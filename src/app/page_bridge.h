#pragma once
// The news page talks to the launcher through its visible text: a
// "ServerBackUrl" request sends the panel elsewhere while the update runs, a
// "RunClient" request carries the login record that starts the game.
#include <string>
#include <vector>

#include "platform/seam.h"
#include "update/launcher_state.h"

// Interprets one page text (code-page bytes). UI thread.
void HandlePageRequest(LauncherState& state, platform::Platform& platform, const std::string& pageText);

// The command line of the game client for a launch record of at least
// thirteen fields.
std::string ClientParameters(const LauncherState& state, const std::vector<std::string>& record);

// Waits for an unpack to end, cleans up, starts the client (kClientProgram)
// with the record's command line and ends the launcher; a client that
// cannot be started is a failure (shown, logged, the failure exit code).
void LaunchClient(LauncherState& state, platform::Platform& platform, const std::vector<std::string>& record);
