#pragma once
// The game directory (the current directory): the names the launcher keeps
// there and the file operations on it (its clean-up is temporary_files.h).
// Names may carry Windows forms (".\client.exe"); they are made native here.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The game client and the launcher itself.
constexpr char kClientProgram[] = ".\\client.exe";
constexpr char kLauncherProgram[] = ".\\farLaunch.exe";

// Where the original program kept downloads until they were installed: a
// patch, the launcher's archive, an untyped package (this launcher keeps
// them under names of its own, ItemDownloadName); and the server document
// (in its stored form).
constexpr char kPatchArchive[] = "client.zip";
constexpr char kLauncherArchive[] = "update.zip";
constexpr char kPackageDownload[] = "_dat.dat";
constexpr char kServerDocument[] = "servercfg.xml";
// The server document and its signature as they arrive, before they are
// checked; only an accepted document becomes kServerDocument.
constexpr char kDownloadedServerDocument[] = "servercfg.xml.download";
constexpr char kDownloadedSignature[] = "servercfg.xml.minisig";

// Present while a full install is unfinished: written before the package's
// first entry, removed once its version is recorded. A start that finds it
// installs the full package again, whatever files are there. No clean-up
// deletes it.
constexpr char kFullInstallMarker[] = "farLaunch.fullinstall";

// What an unpack in progress may change, present from before its first
// file is touched until its entry is recorded or put back (UnpackJournal).
constexpr char kUnpackJournal[] = "farLaunch.journal";
// Held (flock) by the launcher that runs in the game directory.
constexpr char kInstanceLockFile[] = "farLaunch.lock";
// What the launcher knows of the installed files (InstalledFiles), replaced
// atomically.
constexpr char kInstalledFilesRecord[] = "farLaunch.files";
// The start of every item download's name (ItemDownloadName).
constexpr char kItemDownloadPrefix[] = "farLaunch.download.";
// An original that an entry moved aside and could not delete (Windows
// keeps a running program's file) waits under this name + N for a later
// start (SetAsideForLaterRemoval).
constexpr char kLeftoverPrefix[] = "farLaunch.leftover.";
// Where a game directory keeps its bucket of a staged rollout.
constexpr char kRolloutBucketFile[] = "farLaunch.bucket";
// Where an update straight to the newest release keeps what it fetched
// until the install (stage_folder.h).
constexpr char kStageFolder[] = "farLaunch.stage";

// The names installs move files in the way aside under: the files a patch
// replaces take "tmpFile" + N (N counting up through a run), the running
// launcher "tmpUpdate0".
std::string MovedAsideName(std::int32_t n);
constexpr char kLauncherAsideName[] = "tmpUpdate0";


// True when the base file system finds the name as a file (letter case
// ignored).
bool FileExists(const std::string& name);

// The whole content of a file, read through the base file system (letter
// case ignored). False when it cannot be read.
bool ReadGameFile(const std::string& name, std::string& bytes);

// Deletes the file(s) the base file system finds under the name; a missing
// file or a failed deletion is no error.
void DeleteFileIfPresent(const std::string& name);

// The name as the game directory spells it: each component that exists
// there takes its letter case from the disk ("DATA\\Map.dat" for an
// installed "data/map.dat" gives "data/map.dat"). The name itself when it
// has no form on disk.
std::string SpellingOnDisk(const std::string& name);

// Renames the regular file `from` to `to` (across file systems: copied,
// then removed); true when it was moved. A missing file or a failed move is
// no error. Directories are never moved.
bool MoveFileAside(const std::string& from, const std::string& to);

// Where a link the player left at `name` points (the file it names, which
// an update writes instead of the link); `name` itself for any other file.
std::string ThroughLink(const std::string& name);

// True for a relative name that stays inside the game directory (no root,
// no drive letter, no ".." component) and that can be written on disk (it
// has a UTF-8 form; a name without is logged as refused).
bool IsInsideGameDirectory(const std::string& name);

// The folders above `name` (and `name` itself when it ends in a separator)
// that do not exist yet, outermost first, as native relative paths.
std::vector<std::string> MissingDirectoriesOf(const std::string& name);

bool DirectoryExists(const std::string& path);

// The file `name` denotes (letter case as on disk), for std::filesystem.
std::filesystem::path PathOnDisk(const std::string& name);

// Removes the file or link at `name` (a read-only file too), never a
// folder or a device. True when nothing is left there; `problem` says why
// otherwise.
bool RemoveFileAt(const std::string& name, std::string& problem);

// Removes the folder when it is empty; a folder with content stays.
void RemoveEmptyDirectory(const std::string& path);
