#pragma once
// The archives one run installs over the game (patches, the launcher's
// archive) as one transaction: until the run's version is recorded, every
// original they replaced waits in its moved-aside copy. A run that fails or
// is cancelled puts the game back exactly as it was (RollBack); once the
// version is recorded the copies go (Commit).
//
// The transaction works on InstallArchive's records only, after an install
// has returned: how the entries are unpacked is InstallArchive's business.
// Callers hold an UnpackingScope around a roll-back, so that neither the
// game launch nor the close button cuts into it.
#include <vector>

#include "update/archive_install.h"

class PatchTransaction {
 public:
  // Takes what an install did, whatever its outcome.
  void Record(ArchiveInstallResult install);
  // Undoes the recorded installs, newest first; forgets them.
  void RollBack();
  // Deletes every moved-aside original of the recorded installs; forgets
  // them.
  void Commit();

 private:
  std::vector<ArchiveInstallResult> installs_;
};

// Undoes one install, last entry first: removes what it wrote and the
// folders it made, and moves each original back to its place. What cannot
// be put back is logged (farLaunch.log).
void PutBack(const ArchiveInstallResult& install);
