#pragma once
// Starting a program of the game directory, for both front ends.
#include <string>
#include <vector>

namespace frontends::posix {

// Starts `program` (a Windows-form name such as ".\client.exe", found
// whatever its letter case; a bare name means the file in the current
// directory, never one found on PATH) in the current directory without
// waiting for it. Names and the parameter string arrive in `codePage`.
//
// A native program gets the parameter string as one argument in UTF-8, the
// encoding of Linux command lines (none when it is empty).
//
// A Windows program (a file starting with "MZ") runs through wine when it is
// installed, so that its command line (lpCmdLine, GetCommandLineA after the
// program's name) is the parameter string itself, in `codePage`: see
// WineArguments. Wine is started in a locale whose ANSI code page is
// `codePage` (zh_CN.UTF-8 for 936) and converts the UTF-8 arguments back.
//
// False when nothing could be started; `problem` then says why. What the
// program will see differently from the parameter string, and a missing
// locale, are logged at ERROR on the "Base" log.
bool StartGameProgram(const std::string& program, const std::string& parameters, unsigned codePage,
                      std::string& problem);

// The arguments that make wine's command line the parameter string: wine
// puts a blank between its arguments and quotes an argument holding a blank,
// so the string is handed over in its pieces between blanks. That is exact
// for every string without a run of blanks, a blank at either end, a tab or
// a double quote; otherwise a run of blanks arrives as one, blanks at the
// ends vanish, a piece with a tab arrives in double quotes and a double
// quote as \". `exact` tells which case it is.
std::vector<std::string> WineArguments(const std::string& parameters, bool& exact);

}  // namespace frontends::posix
