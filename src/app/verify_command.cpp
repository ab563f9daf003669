#include "app/verify_command.h"

#include "app/game_directory_session.h"
#include "frontends/console/console.h"
#include "frontends/console/console_host.h"
#include "update/manifest/game_verification.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"
#include "update/site/manifest_reading.h"

namespace {

const char* KindName(FileFault::Kind kind) {
  switch (kind) {
    case FileFault::Kind::Damaged:
      return "damaged";
    case FileFault::Kind::Missing:
      return "missing";
    case FileFault::Kind::Unreadable:
      return "unreadable";
  }
  return "";
}

std::string Summary(const GameVerification& verification) {
  const std::string summary = "release " + verification.packageCode + ": " + std::to_string(verification.checked) +
                              (verification.checked == 1 ? " file verified" : " files verified");
  const std::string changed = verification.changed.empty()
                                  ? std::string()
                                  : ", " + std::to_string(verification.changed.size()) + " changed by the player";
  if (verification.faults.empty()) return summary + ", all match" + changed;
  const auto count = [&verification](FileFault::Kind kind) {
    std::size_t n = 0;
    for (const FileFault& fault : verification.faults) n += fault.kind == kind ? 1 : 0;
    return std::to_string(n) + " " + KindName(kind);
  };
  return summary + "; " + count(FileFault::Kind::Damaged) + ", " + count(FileFault::Kind::Missing) + ", " +
         count(FileFault::Kind::Unreadable) + changed;
}

enum class Checked { Done, NoManifest, Failed };

// Checks the game against the manifest it keeps and prints what it found;
// Failed, printed and logged, when there is nothing to verify against.
Checked CheckAgainstKeptManifest(const char* option, std::FILE* out, std::FILE* errors,
                                 GameVerification& verification) {
  std::string problem;
  if (!VerifyInstalledGame(verification, problem)) {
    std::fprintf(errors, "farLaunch.exe %s: %s\n", option, problem.c_str());
    LogFailure(std::string("farLaunch.exe ") + option, "", problem);
    return Checked::Failed;
  }
  frontends::console::Console console(out, frontends::console::PrepareOutput(out));
  for (const FileFault& fault : verification.faults) {
    console.PrintLine(std::string(KindName(fault.kind)) + ": " + fault.name +
                      (fault.detail.empty() ? "" : " (" + fault.detail + ")"));
  }
  for (const std::string& name : verification.changed) {
    console.PrintLine("changed: " + name + " (the player's settings: updates and repairs keep them)");
  }
  console.PrintLine(Summary(verification));
  if (!verification.recordProblem.empty()) {
    std::fprintf(errors, "farLaunch.exe %s: the record of installed files was not renewed: %s\n", option,
                 verification.recordProblem.c_str());
  }
  return Checked::Done;
}

// The check in a game directory as a start leaves it. NoManifest, printed
// with `withoutManifest` (what happens then), when the game keeps none.
Checked CheckInstalledGame(const char* option, std::FILE* out, std::FILE* errors, GameVerification& verification,
                           const char* withoutManifest) {
  GameDirectorySession session;
  if (!FileExists(kKeptManifest)) {
    std::fprintf(out, "farLaunch.exe %s: no installed release's manifest (%s): %s\n", option, kKeptManifest,
                 withoutManifest);
    return Checked::NoManifest;
  }
  return CheckAgainstKeptManifest(option, out, errors, verification);
}

}  // namespace

std::optional<int> RunVerifyCommand(std::FILE* out, std::FILE* errors) {
  GameVerification verification;
  switch (CheckInstalledGame("--verify", out, errors, verification,
                             "the installed release's manifest is fetched from the site")) {
    case Checked::Failed:
      return 1;
    case Checked::NoManifest:
      return std::nullopt;
    case Checked::Done:
      break;
  }
  return verification.faults.empty() ? 0 : 1;
}

bool VerifyAgainstFetchedManifest(std::FILE* out, std::FILE* errors) {
  GameVerification verification;
  return CheckAgainstKeptManifest("--verify", out, errors, verification) == Checked::Done &&
         verification.faults.empty();
}

std::optional<RepairStart> FindFilesToRepair(std::FILE* out, std::FILE* errors) {
  GameVerification verification;
  RepairStart start;
  switch (CheckInstalledGame("--repair", out, errors, verification,
                             "every file is compared with the newest release's manifest from the site")) {
    case Checked::Failed:
      return std::nullopt;
    case Checked::NoManifest:
      start.withoutManifest = true;
      return start;
    case Checked::Done:
      break;
  }
  for (const FileFault& fault : verification.faults) start.names.insert(fault.name);
  return start;
}
