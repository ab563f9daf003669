#pragma once
// The update workflow: fetch and read the server document, then bring the
// game directory up to date on one detached worker thread.
#include <cstddef>
#include <string>

#include "platform/seam.h"
#include "update/archive_install.h"
#include "update/launcher_state.h"
#include "update/patch_transaction.h"

// Fetches and reads the server document, navigates the news panel and
// starts the worker. False (stage ServerConfigRetry) when the fetch failed
// or the document is no server document. UI thread.
bool StartUpdate(LauncherState& state, platform::Platform& platform);

// Downloads the document at `address` as the launcher does (its time and
// size limits) and gives its bytes; nothing of it is left on disk. False
// with the reason when the download fails or cannot be read back.
bool DownloadServerDocument(const std::string& address, platform::MessageTarget& window, std::string& plain,
                            std::string& reason);

// Downloads the server document to "servercfg.xml" and stores it in its
// Base64 form. False, with the reason logged, when the download failed,
// the document is too large or it cannot be stored.
bool FetchServerDocument(LauncherState& state, platform::Platform& platform);

// Reads a server document's text (stored form, or the plain XML when
// `raw`). False with the reason when it does not load or lists no version.
bool ReadServerDocument(const std::string& text, bool raw, ServerConfig& server, std::string& reason);

// Reads the stored server document into the state. False, with the reason
// logged and the state unchanged, when it is missing, does not load or
// holds no version entry.
bool LoadServerDocument(LauncherState& state);

// Worker bodies (client present / client missing). They end the process
// through the seam on the fatal paths.
void NormalUpdateWorker(LauncherState& state, platform::Platform& platform);
void FullInstallWorker(LauncherState& state, platform::Platform& platform);

// True for the item types whose download is an archive to unpack.
bool IsArchiveItem(const UpdateFileItem& item);
// True for the item types downloaded straight onto the game file they name.
bool IsUntypedItem(const UpdateFileItem& item);

// Installs a downloaded item by its type into the entry's transaction:
// what its archive's entries came to (Installed, with no entries, for
// items that are not unpacked). Nothing is touched when the entry's
// journal cannot be saved.
ArchiveInstallResult InstallItem(LauncherState& state, const UpdateFileItem& item, PatchTransaction& entry);

// The next "tmpFile" + N name of the run that no file in the game
// directory holds: a file the game ships under such a name is never moved
// over.
std::string FreeAsideName(LauncherState& state);

// Records entry `index` as the installed version in updatecfg.xml. False,
// with `problem` saying why, when the document cannot be saved.
bool WriteBack(LauncherState& state, platform::Platform& platform, std::size_t index, std::string& problem);

// True when `code` sorts after `installed`, byte by byte as unsigned
// characters, a prefix first.
bool IsNewerPackage(const std::string& code, const std::string& installed);
