#include "update/gamedir/temporary_files.h"

#include <filesystem>
#include <system_error>

#include "base/files/ox_atomic_save.h"
#include "base/files/ox_letter_case.h"
#include "base/files/ox_path.h"
#include "net/partial_download.h"
#include "update/gamedir/item_downloads.h"
#include "update/site/game_files.h"
#include "update/site/launcher_files.h"
#include "update/site/signing_time_record.h"
#include "update/site/update_documents.h"

namespace fs = std::filesystem;

std::string FreeAsideName(std::int32_t& renameCounter) {
  std::string name;
  do {
    name = MovedAsideName(renameCounter++);
  } while (FileExists(name));
  return name;
}

std::optional<std::string> SetAsideForLaterRemoval(const std::string& original) {
  for (std::int32_t n = 1;; ++n) {
    const std::string leftover = kLeftoverPrefix + std::to_string(n);
    if (FileExists(leftover)) continue;
    if (!MoveFileAside(original, leftover)) return std::nullopt;
    return leftover;
  }
}

void RemoveLeftoversOfEarlierRuns() {
  DeleteFileIfPresent(kLauncherAsideName);
  const std::string prefix = ox_base::FoldLetterCase(kLeftoverPrefix);
  std::error_code error;
  for (fs::directory_iterator it(".", error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    const std::string number = name.size() > prefix.size() ? name.substr(prefix.size()) : "";
    if (ox_base::FoldLetterCase(name).compare(0, prefix.size(), prefix) != 0 ||
        number.find_first_not_of("0123456789") != std::string::npos || number.empty()) {
      continue;
    }
    std::string problem;
    // Still held: the next start tries again.
    RemoveFileAt(name, problem);
  }
}

void CleanTempFiles(const std::optional<std::string>& fullPackageMadeThisRun) {
  // The full package is the one file under such a name that a run makes.
  const std::string madePackage = fullPackageMadeThisRun ? ox_base::FoldLetterCase(*fullPackageMadeThisRun) : "";
  for (const CleanedUpName& cleaned : CleanedUpNames()) {
    if (!cleaned.onlyWhenMadeThisRun) {
      DeleteFileIfPresent(cleaned.name);
    } else if (!madePackage.empty() && ox_base::FoldLetterCase(cleaned.name) == madePackage) {
      std::string problem;
      RemoveFileAt(*fullPackageMadeThisRun, problem);
      PartialDownload(*fullPackageMadeThisRun).DiscardMeta();
    }
  }
  DeleteFinishedItemDownloads();
  // A signal, a close or a kill can come while a run saves one of these
  // whole: the temporary copy it was writing goes at this or the next end.
  for (const char* saved :
       {kServerDocument, kSigningTimeRecord, kFullInstallMarker, kVersionDocumentName, kInstalledFilesRecord}) {
    ox_base::RemoveAbandonedSaves(ox_base::NativePath(saved));
  }
}
