#pragma once
// The update workflow: fetch and read the server document, then bring the
// game directory up to date on one detached worker thread.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/seam.h"
#include "update/site/archive_install.h"
#include "update/gamedir/launcher_state.h"
#include "update/gamedir/patch_transaction.h"
#include "update/site/signing_time_record.h"

// Starts the worker that fetches and reads the server document and then
// brings the game directory up to date. A failed fetch, or an answer that
// is no server document, ends it with stage ServerConfigRetry; a document
// read sets `progress.documentRead`. UI thread.
void StartUpdate(LauncherState& state, platform::Platform& platform);

// The worker's first step: fetches and reads the server document. False
// (stage ServerConfigRetry) when the fetch failed or the document is no
// server document.
bool ReceiveServerDocument(LauncherState& state, platform::Platform& platform);

// Downloads the document at `address` as the launcher does (its time and
// size limits) and gives its bytes; nothing of it is left on disk. False
// with the reason when the download fails or cannot be read back.
bool DownloadServerDocument(const std::string& address, platform::MessageTarget& window, std::string& plain,
                            std::string& reason);

// A server document that passed every rule a start applies to it.
struct AcceptedDocument {
  std::string plain;
  // What to record of its signature once it is stored, when it differs
  // from the record kept here.
  std::optional<SigningRecord> signing;
};

// Everything a start applies to the server document fetched from
// `address` before it stores it: the download and its limits, with a
// publisher's key the signature published beside that address and its
// rules (AcceptSignedDocument), and the flat scan finding the document's keys.
// Stores and records nothing. False, with the reason logged, when any of
// them refuses it. Worker thread.
bool AcceptServerDocument(const std::string& address, LauncherState& state, platform::Platform& platform,
                          AcceptedDocument& accepted);

// Accepts the server document of UpdateServerAddr and stores it in its
// Base64 form as "servercfg.xml". False, with the reason logged, when it is
// refused or cannot be stored.
bool FetchServerDocument(LauncherState& state, platform::Platform& platform);

// Reads a server document's text (stored form, or the plain XML when
// `raw`), whether its tree loads or not. False with the reason when it
// holds none of the document's keys; one without a version entry is read.
bool ReadServerDocument(const std::string& text, bool raw, ServerConfig& server, std::string& reason);

// Reads the stored server document into the state. False, with the reason
// logged and the state unchanged, when it is missing or holds none of the
// document's keys.
bool LoadServerDocument(LauncherState& state);

// Worker bodies (client present / client missing). They end the process
// through the seam on the fatal paths.
void NormalUpdateWorker(LauncherState& state, platform::Platform& platform);
void FullInstallWorker(LauncherState& state, platform::Platform& platform);

// True for the item types whose download is an archive to unpack.
bool IsArchiveItem(const UpdateFileItem& item);
// True for the item types downloaded straight onto the game file they name.
bool IsUntypedItem(const UpdateFileItem& item);

// Installs an item, downloaded as `downloaded`, by its type into the
// entry's transaction: what its archive's entries came to (Installed, with
// no entries, for items that are not unpacked). Nothing is touched when
// the entry's journal cannot be saved.
ArchiveInstallResult InstallItem(LauncherState& state, const UpdateFileItem& item, const std::string& downloaded,
                                 PatchTransaction& entry);

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
