#include "app/verify_command.h"

#include <string>

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

std::string Summary(const Verification& verification) {
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

}  // namespace

int RunVerifyCommand(std::FILE* out, std::FILE* errors) {
  Verification verification;
  std::string problem;
  if (!VerifyInstalledGame(verification, problem)) {
    std::fprintf(errors, "farLaunch.exe --verify: %s\n", problem.c_str());
    return 1;
  }
  frontends::console::Console console(out, frontends::console::PrepareOutput(out));
  for (const FileFault& fault : verification.faults) {
    console.PrintLine(std::string(KindName(fault.kind)) + ": " + fault.name +
                      (fault.detail.empty() ? "" : " (" + fault.detail + ")"));
  }
  console.PrintLine(Summary(verification));
  if (!verification.recordProblem.empty()) {
    std::fprintf(errors, "farLaunch.exe --verify: the record of installed files was not renewed: %s\n",
                 verification.recordProblem.c_str());
  }
  return verification.faults.empty() ? 0 : 1;
}
