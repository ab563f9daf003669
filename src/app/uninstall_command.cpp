#include "app/uninstall_command.h"

#include <string>

#include "app/game_directory_session.h"
#include "frontends/console/console.h"
#include "frontends/console/console_host.h"
#include "update/gamedir/game_uninstall.h"

int RunUninstallCommand(std::FILE* out, std::FILE* errors) {
  GameDirectorySession session;
  const GameUninstall uninstall = UninstallGame();
  frontends::console::Console console(out, frontends::console::PrepareOutput(out));
  for (const KeptFile& file : uninstall.kept) console.PrintLine("kept: " + file.name + " (" + file.why + ")");
  for (const KeptFile& file : uninstall.failed) {
    std::fprintf(errors, "farLaunch.exe --uninstall: %s cannot be removed: %s\n", file.name.c_str(),
                 file.why.c_str());
  }
  if (!uninstall.gameFilesStay.empty()) console.PrintLine(uninstall.gameFilesStay);
  console.PrintLine(std::to_string(uninstall.removed) + (uninstall.removed == 1 ? " file" : " files") + " removed, " +
                    std::to_string(uninstall.kept.size()) + " kept, " + std::to_string(uninstall.failed.size()) +
                    " could not be removed; the files the release does not list stay");
  return uninstall.failed.empty() ? 0 : 1;
}
