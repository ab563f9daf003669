#include "update/manifest/game_verification.h"

#include "base/files/ox_path.h"
#include "update/gamedir/game_file_rules.h"
#include "update/gamedir/installed_files.h"
#include "update/manifest/file_hashing.h"
#include "update/site/manifest_reading.h"

namespace {

std::string Bytes(std::uint64_t size) { return std::to_string(size) + (size == 1 ? " byte" : " bytes"); }

}  // namespace

bool VerifyInstalledGame(GameVerification& verification, std::string& problem) {
  ReleaseManifest manifest;
  std::string reason;
  if (!ReadManifestText(ox_base::NativeFilesystemPath(kKeptManifest), manifest, reason)) {
    problem = StampOf(kKeptManifest) ? std::string(kKeptManifest) + " is no manifest: " + reason
                                     : std::string("there is no installed release's manifest (") + kKeptManifest +
                                           ") to verify against";
    return false;
  }

  std::vector<std::string> paths;
  for (const ManifestFile& file : manifest.files) paths.push_back(GameFilePath(file.name));
  const std::vector<HashedFile> found = HashFiles(paths, HashingThreads());

  verification = {};
  verification.packageCode = manifest.packageCode;
  verification.checked = manifest.files.size();
  // Only what was just seen to match goes into the renewed record.
  InstalledFiles record;
  for (std::size_t i = 0; i < found.size(); ++i) {
    const ManifestFile& expected = manifest.files[i];
    const HashedFile& file = found[i];
    if (file.outcome == HashedFile::Outcome::Missing) {
      verification.faults.push_back({expected.name, FileFault::Kind::Missing, ""});
    } else if (file.outcome == HashedFile::Outcome::Unreadable) {
      verification.faults.push_back({expected.name, FileFault::Kind::Unreadable, file.problem});
    } else if ((file.size != expected.size || file.sha256 != expected.sha256) && IsSettingsFile(expected.name)) {
      verification.changed.push_back(expected.name);
    } else if (file.size != expected.size) {
      verification.faults.push_back(
          {expected.name, FileFault::Kind::Damaged, Bytes(file.size) + " where the release has " + Bytes(expected.size)});
    } else if (file.sha256 != expected.sha256) {
      verification.faults.push_back({expected.name, FileFault::Kind::Damaged, "its content differs from the release's"});
    } else {
      record.Record(expected.name, file.stamp, file.sha256);
    }
  }
  if (!record.Save(reason)) verification.recordProblem = std::string(kInstalledFilesRecord) + ": " + reason;
  return true;
}
