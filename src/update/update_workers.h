#pragma once
// The update's run: the one detached worker that fetches and reads the
// server document and then brings the game directory up to date.
#include "platform/seam.h"
#include "update/gamedir/launcher_state.h"

// Starts the worker that fetches and reads the server document and then
// brings the game directory up to date. A failed fetch, or an answer that
// is no server document, ends it with stage ServerConfigRetry; a document
// read sets `progress.documentRead`. UI thread.
void StartUpdate(LauncherState& state, platform::Platform& platform);

// The worker's first step: fetches and reads the server document. False
// (stage ServerConfigRetry) when the fetch failed or the document is no
// server document.
bool ReceiveServerDocument(LauncherState& state, platform::Platform& platform);
