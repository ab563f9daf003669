#pragma once
// Checking the installed game against its release's manifest (the copy the
// game directory keeps, kKeptManifest): every file it lists is hashed,
// whatever the record of installed files says, and the record is renewed
// from what was found. A settings file that is there and reads is the
// player's whatever its content: changed, not damaged.
#include <cstddef>
#include <string>
#include <vector>

struct FileFault {
  enum class Kind { Damaged, Missing, Unreadable };
  std::string name;  // the manifest's (UTF-8)
  Kind kind = Kind::Damaged;
  std::string detail;  // in words, for Damaged and Unreadable
};

struct GameVerification {
  std::string packageCode;
  std::size_t checked = 0;
  std::vector<FileFault> faults;  // by name
  // Settings files (IsSettingsFile) whose content differs from the
  // release's: the player's, not damage.
  std::vector<std::string> changed;
  // Why the record of installed files could not be renewed; empty when it was.
  std::string recordProblem;
};

// False with the reason when the game directory has no installed manifest
// that reads.
bool VerifyInstalledGame(GameVerification& verification, std::string& problem);
