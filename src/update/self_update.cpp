#include "update/self_update.h"

#include <filesystem>
#include <system_error>

#include "base/ox_path.h"
#include "update/game_files.h"
#include "update/window_controls.h"
#include "zip/zip_reader.h"

namespace {

const char* const kTempFiles[] = {
    ".\\servercfg.xml", ".\\_tmp.dat",       ".\\tmp.tmp",    ".\\_tmp_up.dat", ".\\_dat.dat",
    ".\\diff.dat",      ".\\tmp_client.tmp", ".\\client.zip", ".\\update.zip",
};

// Archives carry no Unix permissions we trust; the new launcher must start.
void MakeExecutable(const std::string& name) {
  std::error_code error;
  std::filesystem::permissions(
      ox_base::NativePath(name),
      std::filesystem::perms::owner_exec | std::filesystem::perms::group_exec | std::filesystem::perms::others_exec,
      std::filesystem::perm_options::add, error);
}

}  // namespace

bool InstallLauncherArchive(LauncherState& state) {
  CleanMovedAsideFiles();
  ZipReader reader;
  if (reader.Open("update.zip") != ZipResult::Ok) {
    return false;
  }
  ZipEntry entry;
  if (reader.GetItem(0, entry) != ZipResult::Ok || !IsInsideGameDirectory(entry.name)) {
    return false;
  }
  MoveFileAside(entry.name, "tmpUpdate0");
  const bool extracted =
      reader.ExtractItem(0, entry.name, state.progress.extractedBytes, state.progress.cancelInstall) == ZipResult::Ok;
  reader.Close();
  if (!extracted) {
    return false;
  }
  MakeExecutable(entry.name);
  state.selfUpdated = true;
  return true;
}

void CleanTempFiles() {
  for (const char* name : kTempFiles) {
    DeleteFileIfPresent(name);
  }
}

void CleanMovedAsideFiles() {
  for (int n = 0; n <= 9; ++n) {
    DeleteFileIfPresent("tmpFile" + std::to_string(n));
  }
  DeleteFileIfPresent(".\\tmpUpdate0");
}

void RestartLauncher(platform::Platform& platform, const std::string& message, const std::string& parameters) {
  CleanMovedAsideFiles();
  CleanTempFiles();
  platform.GetUiThread().StopTimer(kStatusTimer);
  platform.GetDialogs().ShowMessage(message);
  platform.GetShell().StartProgram(".\\farLaunch.exe", parameters);
  platform.GetSystem().Exit(0);
}
