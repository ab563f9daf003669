#pragma once
// farLaunch.exe --verify: the installed game checked against its release's
// manifest on the console, without a window, an update or the network.
#include <cstdio>

// Prints every damaged, missing and unreadable file to `out` and a summary
// line; problems that stop the check go to `errors`. The exit status: 0
// when every file matches, 1 otherwise (also when there is nothing to
// verify against).
int RunVerifyCommand(std::FILE* out, std::FILE* errors);
