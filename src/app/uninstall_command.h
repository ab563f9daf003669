#pragma once
// farLaunch.exe --uninstall: the launcher's files and the installed
// release's unchanged files leave the game directory, the player's stay
// (update/game_uninstall.h); run by the Windows uninstaller before it
// removes the program.
#include <cstdio>

// Prints each file kept and why, and a summary line, to `out`; files that
// could not be removed go to `errors`. The exit status: 0 when everything
// that was to go went, 1 otherwise.
int RunUninstallCommand(std::FILE* out, std::FILE* errors);
