#include "app/verify_command.h"

#include "frontends/console/console.h"
#include "frontends/console/console_host.h"
#include "update/game_verification.h"

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
  if (verification.faults.empty()) return summary + ", all match";
  const auto count = [&verification](FileFault::Kind kind) {
    std::size_t n = 0;
    for (const FileFault& fault : verification.faults) n += fault.kind == kind ? 1 : 0;
    return std::to_string(n) + " " + KindName(kind);
  };
  return summary + "; " + count(FileFault::Kind::Damaged) + ", " + count(FileFault::Kind::Missing) + ", " +
         count(FileFault::Kind::Unreadable);
}

// Checks the game and prints what it found; false when there is nothing
// to verify against.
bool CheckInstalledGame(const char* option, std::FILE* out, std::FILE* errors, GameVerification& verification) {
  std::string problem;
  if (!VerifyInstalledGame(verification, problem)) {
    std::fprintf(errors, "farLaunch.exe %s: %s\n", option, problem.c_str());
    return false;
  }
  frontends::console::Console console(out, frontends::console::PrepareOutput(out));
  for (const FileFault& fault : verification.faults) {
    console.PrintLine(std::string(KindName(fault.kind)) + ": " + fault.name +
                      (fault.detail.empty() ? "" : " (" + fault.detail + ")"));
  }
  console.PrintLine(Summary(verification));
  if (!verification.recordProblem.empty()) {
    std::fprintf(errors, "farLaunch.exe %s: the record of installed files was not renewed: %s\n", option,
                 verification.recordProblem.c_str());
  }
  return true;
}

}  // namespace

int RunVerifyCommand(std::FILE* out, std::FILE* errors) {
  GameVerification verification;
  return CheckInstalledGame("--verify", out, errors, verification) && verification.faults.empty() ? 0 : 1;
}

std::optional<std::set<std::string>> FindFilesToRepair(std::FILE* out, std::FILE* errors) {
  GameVerification verification;
  if (!CheckInstalledGame("--repair", out, errors, verification)) return std::nullopt;
  std::set<std::string> names;
  for (const FileFault& fault : verification.faults) names.insert(fault.name);
  return names;
}
