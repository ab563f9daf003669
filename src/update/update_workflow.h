#pragma once
// The update workflow: fetch and read the server document, then bring the
// game directory up to date on one detached worker thread.
#include <cstddef>
#include <string>

#include "platform/seam.h"
#include "update/launcher_state.h"

// Fetches and reads the server document, navigates the news panel and
// starts the worker. False (stage ServerConfigRetry) when the fetch failed.
// UI thread.
bool StartUpdate(LauncherState& state, platform::Platform& platform);

// Downloads the server document to "servercfg.xml" and stores it in its
// Base64 form. False when the download failed.
bool FetchServerDocument(LauncherState& state, platform::Platform& platform);

// Reads the stored server document into the state. False when it is missing.
bool LoadServerDocument(LauncherState& state);

// Worker bodies (client present / client missing). They end the process
// through the seam on the fatal paths.
void NormalUpdateWorker(LauncherState& state, platform::Platform& platform);
void FullInstallWorker(LauncherState& state, platform::Platform& platform);

// Installs a downloaded item by its type. False when its archive cannot be
// opened or an entry cannot be extracted.
bool InstallItem(LauncherState& state, const UpdateFileItem& item);

// Records entry `index` as the installed version in updatecfg.xml.
void WriteBack(LauncherState& state, platform::Platform& platform, std::size_t index);

// True when `code` sorts after `installed`, byte by byte as unsigned
// characters, a prefix first.
bool IsNewerPackage(const std::string& code, const std::string& installed);
