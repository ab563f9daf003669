#include "update/gamedir/temporary_files.h"

#include "base/files/ox_atomic_save.h"
#include "base/files/ox_letter_case.h"
#include "base/files/ox_path.h"
#include "net/partial_download.h"
#include "update/gamedir/item_downloads.h"
#include "update/site/game_files.h"
#include "update/site/launcher_files.h"
#include "update/site/signing_time_record.h"
#include "update/site/update_documents.h"

std::string FreeAsideName(std::int32_t& renameCounter) {
  std::string name;
  do {
    name = MovedAsideName(renameCounter++);
  } while (FileExists(name));
  return name;
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
