#pragma once
// The files a run leaves in the game directory for a while: the files moved
// out of an install's way, and what the clean-ups delete.
#include <cstdint>
#include <optional>
#include <string>

// The next "tmpFile" + N name of the run (counting on from
// `renameCounter`) that no file in the game directory holds: a file the
// game ships under such a name is never moved over.
std::string FreeAsideName(std::int32_t& renameCounter);

// Renames an original that cannot be deleted now to the first free
// kLeftoverPrefix + N: a later start removes it there, where no game file
// can take its name, as a game file could take "tmpFile" + N. The name it
// took; nothing when it cannot be moved either.
std::optional<std::string> SetAsideForLaterRemoval(const std::string& original);

// At start-up: removes what earlier runs could not delete, now that the
// programs holding it may have ended: the launcher a self-update replaced
// and the originals set aside for later.
void RemoveLeftoversOfEarlierRuns();

// Deletes the stored server document, its downloads, the finished item
// downloads (CleanedUpNames) and what an ended run left of a save of the
// files a run saves whole. Of the original program's temporary names
// only the file this run made goes (`fullPackageMadeThisRun`, when the
// server names it so): a file a release ships under such a name stays.
void CleanTempFiles(const std::optional<std::string>& fullPackageMadeThisRun);
