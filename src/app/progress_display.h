#pragma once
// The status display: the timer turns what the workers publish in
// UpdateProgress into the status line, the percentage and the bar, and
// carries out the endings of the update. UI thread only.
#include <functional>
#include <string>

#include "platform/seam.h"
#include "update/gamedir/launcher_state.h"

// Shows a percentage 0..100 on the label, the native control and the bar.
void SetProgress(platform::Window& window, int percent);

// WM_DOWNLOAD_PROGRESS: a percentage of the download announced last, shown
// with that download's status line. The timer shows an announcement only
// at its next tick, or never when a later stage replaced it first, and a
// percentage must not stand beside the name of the file fetched before.
// The timer shows a newly announced download with 0 % and an empty bar
// unless a percentage of it came first.
void ShowDownloadProgress(UpdateProgress& progress, platform::Window& window, int percent);

// Given the page text parked while the update ran; called once the update
// has finished.
using PageRequestHandler = std::function<void(const std::string& pageText)>;

// A worker has just set a completion code: show it now, as the next tick
// would (WM_UPDATE_COMPLETED).
void OnUpdateCompleted(LauncherState& state, platform::Platform& platform, const PageRequestHandler& handlePageRequest);

// One tick of the status timer.
void OnStatusTimer(LauncherState& state, platform::Platform& platform, const PageRequestHandler& handlePageRequest);
