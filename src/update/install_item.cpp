#include "update/game_files.h"
#include "update/self_update.h"
#include "update/update_workflow.h"
#include "zip/zip_reader.h"

namespace {

// Unpacks "client.zip" into the game directory; every file it overwrites is
// moved aside first as "tmpFile" + N so that a failed update loses nothing.
bool InstallNormalArchive(LauncherState& state) {
  CleanMovedAsideFiles();
  ZipReader reader;
  if (reader.Open("client.zip") != ZipResult::Ok) {
    return false;
  }
  ZipEntry count;
  reader.GetItem(-1, count);
  bool result = true;
  for (int i = 0; i < count.index; ++i) {
    ZipEntry entry;
    if (reader.GetItem(i, entry) != ZipResult::Ok || !IsInsideGameDirectory(entry.name)) {
      result = false;
      continue;
    }
    MoveFileAside(entry.name, "tmpFile" + std::to_string(state.renameCounter++));
    if (reader.ExtractItem(i, entry.name, state.progress.extractedBytes, state.progress.cancelInstall) !=
        ZipResult::Ok) {
      result = false;
    }
  }
  reader.Close();
  DeleteFileIfPresent(".\\client.zip");
  return result;
}

}  // namespace

bool InstallItem(LauncherState& state, const UpdateFileItem& item) {
  if (item.Type == "normal") {
    return InstallNormalArchive(state);
  }
  if (item.Type == "farLaunch") {
    return InstallLauncherArchive(state);
  }
  return true;
}
